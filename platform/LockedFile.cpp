#include "platform/LockedFile.h"

#include "platform/AtomicReplace.h"
#include "platform/Charset.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>

namespace harvina {
namespace {

// Another holder may replace the file between our open and our lock; a few
// retries settle on the file that the path names.
constexpr int kOpenAttempts = 8;

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

std::string Resolved(const std::string& nativePath)
{
    char buffer[PATH_MAX];
    if (::realpath(nativePath.c_str(), buffer))
        return buffer;
    return nativePath;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

} // namespace

LockedFile::LockedFile(UniqueFd fd, std::string nativePath, std::string content)
    : fd_(std::move(fd)), nativePath_(std::move(nativePath)), content_(std::move(content))
{
}

std::optional<LockedFile> LockedFile::Open(const std::string& path, std::size_t maxBytes, OpenError* error)
{
    OpenError ignored;
    OpenError& result = error ? *error : ignored;
    result = OpenError::Unavailable;
    std::string native = NativePath(path);
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        UniqueFd fd(::open(native.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
        if (!fd.valid())
            return std::nullopt;
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
            result = errno == EWOULDBLOCK ? OpenError::Locked : OpenError::Unavailable;
            return std::nullopt;
        }
        struct stat held {}, named {};
        if (::fstat(fd.get(), &held) != 0 || !S_ISREG(held.st_mode))
            return std::nullopt;
        if (::stat(native.c_str(), &named) != 0 || !SameFile(held, named))
            continue; // we locked a file that has just been replaced
        auto content = ReadAll(fd.get(), maxBytes);
        if (!content) {
            result = OpenError::TooLarge;
            return std::nullopt;
        }
        LockedFile file(std::move(fd), Resolved(native), std::move(*content));
        file.RemoveStaleTemporaries();
        result = OpenError::None;
        return file;
    }
    return std::nullopt;
}

bool LockedFile::Replace(std::string_view content)
{
    struct stat held {};
    if (::fstat(fd_.get(), &held) != 0)
        return false;
    std::string temporary;
    auto fd = WriteTemporary(nativePath_, content, held.st_mode & 07777, temporary);
    if (!fd)
        return false;
    // Lock the new file before it takes the name, so the name is never unlocked.
    if (::flock(fd->get(), LOCK_EX | LOCK_NB) != 0 || !CommitTemporary(temporary, nativePath_)) {
        ::unlink(temporary.c_str());
        return false;
    }
    fd_ = std::move(*fd);
    content_.assign(content);
    return true;
}

bool LockedFile::IsFile(const std::string& path) const
{
    struct stat held {}, named {};
    return ::fstat(fd_.get(), &held) == 0 && ::stat(NativePath(path).c_str(), &named) == 0 && SameFile(held, named);
}

void LockedFile::RemoveStaleTemporaries() const
{
    // Only the holder of the lock writes temporaries, so any found now were left by
    // a holder that died mid-change.
    std::string prefix = TemporaryPrefix(nativePath_);
    std::string folder = FolderOf(nativePath_);
    std::string namePrefix = prefix.substr(folder.size() + (folder == "/" ? 0 : 1));
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir.get())) {
        std::string_view name(entry->d_name);
        if (name.size() == namePrefix.size() + 6 && name.starts_with(namePrefix))
            ::unlink((prefix + std::string(name.substr(namePrefix.size()))).c_str());
    }
}

} // namespace harvina
