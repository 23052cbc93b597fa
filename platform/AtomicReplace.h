#pragma once

#include "platform/UniqueFd.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace harvina {

// The two halves of replacing a file atomically. Paths here are native (UTF-8).

// The folder part of a native path ("." when it has none) and the temporary-name
// prefix used beside `nativePath`, so stale temporaries can be recognised.
[[nodiscard]] std::string FolderOf(const std::string& nativePath);
[[nodiscard]] std::string TemporaryPrefix(const std::string& nativePath);

// Writes `bytes` to a new temporary file beside `nativePath` with permissions `mode`
// and flushes it to the disk. On failure nothing is left behind.
[[nodiscard]] std::optional<UniqueFd> WriteTemporary(const std::string& nativePath, std::string_view bytes,
                                                     mode_t mode, std::string& temporaryPath);

// Renames the temporary over `nativePath` and flushes the folder entry.
[[nodiscard]] bool CommitTemporary(const std::string& temporaryPath, const std::string& nativePath);

// Reads from the current offset to the end; nothing when more than maxBytes.
[[nodiscard]] std::optional<std::string> ReadAll(int fd, std::size_t maxBytes);

} // namespace harvina
