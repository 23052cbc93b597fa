#include "platform/AtomicReplace.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace harvina {

std::string FolderOf(const std::string& nativePath)
{
    size_t slash = nativePath.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return nativePath.substr(0, slash);
}

std::string TemporaryPrefix(const std::string& nativePath)
{
    size_t slash = nativePath.rfind('/');
    std::string base = slash == std::string::npos ? nativePath : nativePath.substr(slash + 1);
    return FolderOf(nativePath) + "/." + base + ".tmp-";
}

static bool WriteFully(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

std::optional<UniqueFd> WriteTemporary(const std::string& nativePath, std::string_view bytes, mode_t mode,
                                       std::string& temporaryPath)
{
    std::string pattern = TemporaryPrefix(nativePath) + "XXXXXX";
    UniqueFd fd(::mkostemp(pattern.data(), O_CLOEXEC));
    if (!fd.valid())
        return std::nullopt;
    // mkostemp creates 0600; the settings file keeps the permissions it had.
    bool ok = ::fchmod(fd.get(), mode) == 0 && WriteFully(fd.get(), bytes) && ::fdatasync(fd.get()) == 0;
    if (!ok) {
        ::unlink(pattern.c_str());
        return std::nullopt;
    }
    temporaryPath = pattern;
    return fd;
}

bool CommitTemporary(const std::string& temporaryPath, const std::string& nativePath)
{
    if (::rename(temporaryPath.c_str(), nativePath.c_str()) != 0) {
        ::unlink(temporaryPath.c_str());
        return false;
    }
    // The rename is done; a folder that cannot be flushed only weakens durability.
    UniqueFd folder(::open(FolderOf(nativePath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid())
        ::fsync(folder.get());
    return true;
}

std::optional<std::string> ReadAll(int fd, std::size_t maxBytes)
{
    std::string out;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (n == 0)
            return out;
        if (out.size() + static_cast<size_t>(n) > maxBytes)
            return std::nullopt;
        out.append(buffer, static_cast<size_t>(n));
    }
}

} // namespace harvina
