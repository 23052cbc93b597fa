#include "app/ListFile.h"

#include <sys/stat.h>

#include "platform/Charset.h"

namespace harvina {

bool ListFile::Open(const std::string& path)
{
    const std::string native = NativePath(path);
    std::lock_guard lock(mutex_);
    file_.reset();
    struct stat info {};
    if (::stat(native.c_str(), &info) != 0 || S_ISDIR(info.st_mode))
        return false;
    file_.reset(std::fopen(native.c_str(), "rbe"));
    return file_ != nullptr;
}

bool ListFile::IsOpen()
{
    std::lock_guard lock(mutex_);
    return file_ != nullptr;
}

void ListFile::Close()
{
    std::lock_guard lock(mutex_);
    file_.reset();
}

bool ListFile::AtEnd()
{
    // The peek and its undo must not be split by a reader.
    std::lock_guard lock(mutex_);
    if (!file_)
        return true;
    const int c = std::getc(file_.get());
    if (c == EOF)
        return true;
    std::ungetc(c, file_.get());
    return false;
}

std::string ListFile::ReadLine()
{
    std::lock_guard lock(mutex_);
    std::string line;
    if (!file_)
        return line;
    int c;
    while ((c = std::getc(file_.get())) != EOF && c != '\n') {
        if (line.size() < kMaxLineBytes)
            line.push_back(static_cast<char>(c));
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace harvina
