# Shared build rules: warnings, sanitizers, and the shape of a test executable.

add_compile_options(-Wall -Wextra)

# libFuzzer targets (clang only): the core gets coverage and both sanitizers, and
# tests/fuzz links each target with the fuzzer's own main.
option(HARVINA_FUZZ "Build the libFuzzer targets of tests/fuzz (needs clang)" OFF)
if(HARVINA_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(HARVINA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

find_package(Threads REQUIRED)

if(HARVINA_BUILD_GUI)
  find_package(Qt6 COMPONENTS Widgets QUIET)
  if(NOT Qt6_FOUND)
    message(STATUS "Qt 6 Widgets not found: building without the desktop program")
    set(HARVINA_BUILD_GUI OFF)
  endif()
endif()

if(HARVINA_BUILD_TESTS)
  find_package(GTest REQUIRED)
endif()

# harvina_add_test(<name> SOURCES <files...> LIBS <targets...> [ENV <VAR=value...>])
# One GoogleTest executable registered with CTest as one test.
function(harvina_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  if(ARG_ENV)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ARG_ENV}")
  endif()
endfunction()
