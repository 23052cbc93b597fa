#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace harvina {

// A list file read line by line, line breaks ("\n" or "\r\n") removed.
class ListFile {
public:
    // A longer line is cut here; the rest of it is skipped.
    static constexpr std::size_t kMaxLineBytes = 64 * 1024;

    // `path` is local text. False when it cannot be opened as a file.
    bool Open(const std::string& path);
    [[nodiscard]] bool IsOpen() const { return file_ != nullptr; }
    // True when no byte is left to read, or the file is not open.
    [[nodiscard]] bool AtEnd();
    // The next line; empty at the end or when the file cannot be read.
    std::string ReadLine();
    void Close() { file_.reset(); }

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
};

} // namespace harvina
