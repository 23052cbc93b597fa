#pragma once

#include "platform/UniqueFd.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace harvina {

// A file held with an exclusive flock(2) lock for the object's lifetime. Other
// processes may still read it; another LockedFile on it cannot be obtained.
// Changes replace the file whole and atomically: the new content goes to a
// temporary file beside it, is flushed, locked, and renamed over the file.
class LockedFile {
public:
    enum class OpenError { None, Locked, Unavailable, TooLarge };

    // Opens the file (created empty when missing), locks it without waiting and
    // reads its content (at most maxBytes).
    [[nodiscard]] static std::optional<LockedFile> Open(const std::string& path, std::size_t maxBytes,
                                                        OpenError* error = nullptr);

    [[nodiscard]] const std::string& Content() const { return content_; }
    // False leaves the file and Content() as they were.
    [[nodiscard]] bool Replace(std::string_view content);
    // Whether `path` names the very file held (by identity, not by spelling).
    [[nodiscard]] bool IsFile(const std::string& path) const;

private:
    LockedFile(UniqueFd fd, std::string nativePath, std::string content);
    void RemoveStaleTemporaries() const;

    UniqueFd fd_;
    std::string nativePath_; // resolved, so a symbolic link keeps pointing at the file
    std::string content_;
};

} // namespace harvina
