#include "settings/BackingFile.h"

#include <algorithm>

namespace harvina {
namespace {

class MemoryFile final : public BackingFile {
public:
    explicit MemoryFile(std::string content) : content_(std::move(content)) {}
    const std::string& Content() const override { return content_; }
    bool ReplaceAll(std::string_view content) override
    {
        content_.assign(content);
        return true;
    }

private:
    std::string content_;
};

class DiskFile final : public BackingFile {
public:
    explicit DiskFile(LockedFile file) : file_(std::move(file)) {}
    const std::string& Content() const override { return file_.Content(); }
    bool ReplaceAll(std::string_view content) override { return file_.Replace(content); }
    bool IsFile(const std::string& path) const override { return file_.IsFile(path); }

private:
    LockedFile file_;
};

} // namespace

bool BackingFile::Splice(std::size_t offset, std::size_t count, std::string_view bytes)
{
    const std::string& old = Content();
    offset = std::min(offset, old.size());
    count = std::min(count, old.size() - offset);
    std::string changed;
    changed.reserve(old.size() - count + bytes.size());
    changed.append(old, 0, offset).append(bytes).append(old, offset + count);
    return ReplaceAll(changed);
}

std::shared_ptr<BackingFile> MakeMemoryFile(std::string content)
{
    return std::make_shared<MemoryFile>(std::move(content));
}

std::shared_ptr<BackingFile> MakeDiskFile(LockedFile file) { return std::make_shared<DiskFile>(std::move(file)); }

} // namespace harvina
