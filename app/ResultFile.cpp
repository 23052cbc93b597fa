#include "app/ResultFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "platform/Charset.h"

namespace harvina {

ResultFile::~ResultFile() { Close(); }

bool ResultFile::Open(const std::string& path)
{
    Close();
    fd_ = ::open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    size_ = 0;
    return fd_ >= 0;
}

bool ResultFile::Append(std::string_view bytes)
{
    if (fd_ < 0)
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // Leave no half line behind for the next write to continue.
            if (done > 0 && ::ftruncate(fd_, size_) == 0)
                ::lseek(fd_, size_, SEEK_SET);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    size_ += static_cast<std::int64_t>(done);
    return true;
}

void ResultFile::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    size_ = 0;
}

} // namespace harvina
