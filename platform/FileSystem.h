#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace harvina {

// Plain file access for the settings store. Paths are local text (GB18030).

// The whole file, or nothing when it is missing, unreadable or larger than maxBytes.
[[nodiscard]] std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes);

// Replaces the file's content atomically (a flushed temporary beside it, renamed
// over it): afterwards the file holds either its old content or `bytes`.
[[nodiscard]] bool WriteWholeFile(const std::string& path, std::string_view bytes);

// One level; true when the folder exists afterwards.
bool CreateFolder(const std::string& path);
// Every missing level.
bool CreateFolders(const std::string& path);

// The current user's folder for application data ($XDG_CONFIG_HOME, else ~/.config).
[[nodiscard]] std::string UserConfigFolder();

} // namespace harvina
