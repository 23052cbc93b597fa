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
    explicit RegexSubject(std::string_view local);

    [[nodiscard]] const std::string& Bytes() const { return bytes_; }
    [[nodiscard]] const std::u32string& CodePoints() const { return codePoints_; }
    [[nodiscard]] size_t Length() const { return codePoints_.size(); }
    // Byte offset of character `index` (Length() gives the byte size).
    [[nodiscard]] size_t ByteOffset(size_t index) const;
    // The bytes of characters [begin, end).
    [[nodiscard]] std::string_view Slice(size_t begin, size_t end) const;

private:
    std::string bytes_;
    std::u32string codePoints_;
    std::vector<uint32_t> checkpoints_; // byte offset of every kCheckpointStride-th character
};

// Code points of a local text, for patterns.
[[nodiscard]] std::u32string LocalToCodePoints(std::string_view local);

} // namespace harvina
