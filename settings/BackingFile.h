#pragma once

#include "platform/LockedFile.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace harvina {

// Where the store mirrors its text: the locked settings file, or a copy in memory.
// Every change either happens whole or not at all.
class BackingFile {
public:
    virtual ~BackingFile() = default;

    [[nodiscard]] virtual const std::string& Content() const = 0;
    // Replaces `count` bytes at 0-based `offset` (both clamped to the content).
    [[nodiscard]] bool Splice(std::size_t offset, std::size_t count, std::string_view bytes);
    [[nodiscard]] virtual bool ReplaceAll(std::string_view content) = 0;
    [[nodiscard]] virtual bool IsFile(const std::string& /*path*/) const { return false; }
};

[[nodiscard]] std::shared_ptr<BackingFile> MakeMemoryFile(std::string content);
[[nodiscard]] std::shared_ptr<BackingFile> MakeDiskFile(LockedFile file);

} // namespace harvina
