#include "platform/FileSystem.h"

#include "platform/AtomicReplace.h"
#include "platform/Charset.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>

namespace harvina {

std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes)
{
    UniqueFd fd(::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid())
        return std::nullopt;
    return ReadAll(fd.get(), maxBytes);
}

bool WriteWholeFile(const std::string& path, std::string_view bytes)
{
    std::string native = NativePath(path);
    mode_t mode = 0644;
    struct stat st {};
    if (::stat(native.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return false;
        mode = st.st_mode & 07777;
    }
    std::string temporary;
    auto fd = WriteTemporary(native, bytes, mode, temporary);
    return fd && CommitTemporary(temporary, native);
}

bool CreateFolder(const std::string& path)
{
    std::string native = NativePath(path);
    if (::mkdir(native.c_str(), 0755) == 0)
        return true;
    struct stat st {};
    return errno == EEXIST && ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        CreateFolder(path.substr(0, slash));
    return CreateFolder(path);
}

std::string UserConfigFolder()
{
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        return LocalPath(xdg);
    if (const char* home = std::getenv("HOME"); home && *home)
        return LocalPath(home) + "/.config";
    return {};
}

} // namespace harvina
