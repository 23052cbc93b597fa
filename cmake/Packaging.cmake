# Install rules for both programs, the desktop entry and the icon, and a Debian
# package through CPack (cpack -G DEB in the build folder).
include(GNUInstallDirs)

foreach(program harvina harvina-cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

if(TARGET harvina)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/harvina.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/harvina.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

set(CPACK_PACKAGE_NAME harvina)
set(CPACK_PACKAGE_VENDOR "Harvina developers")
set(CPACK_PACKAGE_CONTACT "Harvina developers <harvina@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Harvests domain names from web pages (desktop program and CLI)")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The shared libraries the programs link decide the dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
