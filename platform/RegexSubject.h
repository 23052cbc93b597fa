#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace harvina {

// A local text (GB18030) decoded to Unicode code points for the regex engine, with
// the way back: character positions map to byte offsets of the original bytes, so
// match texts are cut from the caller's bytes and never re-encoded.
//
// Every byte sequence decodes: a byte that does not start a valid character becomes
// one U+FFFD, so invalid bytes, NULs and a lone lead byte at the end each count as
// one character and come back unchanged in match texts.
class RegexSubject {
public:
    RegexSubject() = default;
    // Keeps its own copy of the bytes.
    explicit RegexSubject(std::string_view local);
    // Reads the caller's bytes in place: they must outlive the subject.
    [[nodiscard]] static RegexSubject Borrowing(std::string_view local);
    ~RegexSubject();
    RegexSubject(RegexSubject&& other) noexcept;
    RegexSubject& operator=(RegexSubject&& other) noexcept;
    RegexSubject(const RegexSubject&) = delete;
    RegexSubject& operator=(const RegexSubject&) = delete;

    [[nodiscard]] std::string_view Bytes() const { return bytes_; }
    [[nodiscard]] const std::u32string& CodePoints() const { return codePoints_; }
    [[nodiscard]] size_t Length() const { return codePoints_.size(); }
    // Byte offset of character `index` (Length() gives the byte size).
    [[nodiscard]] size_t ByteOffset(size_t index) const;
    // The bytes of characters [begin, end).
    [[nodiscard]] std::string_view Slice(size_t begin, size_t end) const;

    // Where each run of 64 characters starts, and which of them take two or four bytes.
    struct Stride {
        uint32_t offset;
        uint64_t wide; // two bytes or more
        uint64_t four; // four bytes
    };

private:
    void Decode();
    void Swap(RegexSubject& other) noexcept;

    std::string owned_;
    std::string_view bytes_;
    bool borrowed_ = false;
    std::u32string codePoints_;
    std::vector<Stride> strides_;
};

// Code points of a local text, for patterns.
[[nodiscard]] std::u32string LocalToCodePoints(std::string_view local);

} // namespace harvina
