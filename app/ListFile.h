#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

namespace harvina {

// A list file read line by line, line breaks ("\n" or "\r\n") removed.
// Safe to use from several threads: job control tests for the end while
// workers read their lines.
class ListFile {
public:
    // A longer line is cut here; the rest of it is skipped.
    static constexpr std::size_t kMaxLineBytes = 64 * 1024;

    // `path` is local text. False when it cannot be opened as a file.
    bool Open(const std::string& path);
    [[nodiscard]] bool IsOpen();
    // True when no byte is left to read, or the file is not open.
    [[nodiscard]] bool AtEnd();
    // The next line; empty at the end or when the file cannot be read.
    std::string ReadLine();
    void Close();

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::mutex mutex_;
    std::unique_ptr<std::FILE, Closer> file_;
};

} // namespace harvina
