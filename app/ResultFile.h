#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace harvina {

// The job's result file: created or emptied on open, each line written through
// at once so other programs see it while the job runs. A write that fails
// (disk full) is undone to the last whole line and reported to the caller.
class ResultFile {
public:
    ResultFile() = default;
    ~ResultFile();
    ResultFile(const ResultFile&) = delete;
    ResultFile& operator=(const ResultFile&) = delete;

    // `path` is local text. False when the file cannot be created.
    bool Open(const std::string& path);
    [[nodiscard]] bool IsOpen() const { return fd_ >= 0; }
    // Appends the bytes; false when not open or not all could be written.
    bool Append(std::string_view bytes);
    void Close();

private:
    int fd_ = -1;
    std::int64_t size_ = 0;
};

} // namespace harvina
