#pragma once

#include <span>
#include <string_view>

namespace harvina {

// A file built into the program.
struct EmbeddedFile {
    std::string_view name;
    std::string_view bytes;
};

// The sample site of --demo, as stored in the repository (UTF-8).
[[nodiscard]] std::span<const EmbeddedFile> DemoFiles();

} // namespace harvina
