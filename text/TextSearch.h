#pragma once

#include <string>
#include <string_view>

namespace harvina {

// Byte-level scanning of local text (GB18030/GBK). A byte of 0x80 or above leads a
// double-byte unit, so matches only begin at character boundaries; case folding, when
// asked for, touches the single-byte letters A-Z only (a trail byte that happens to be
// a letter is part of a Chinese character and compares exactly).

// Length in bytes of the unit starting at `i` (1 or 2, never past the end).
[[nodiscard]] size_t LocalUnitLength(std::string_view text, size_t i);

// Does `text` hold `needle` at byte offset `at` (a character boundary)?
[[nodiscard]] bool LocalMatchesAt(std::string_view text, size_t at, std::string_view needle, bool ignoreCase);

// 1-based position of the first `needle` at or after the 1-based `from`, -1 when absent.
// An empty needle is found at 1 whenever any text remains at or after `from`.
[[nodiscard]] int FindLocalText(std::string_view text, std::string_view needle, int from, bool ignoreCase);

// 1-based position of the last `needle` lying entirely within the first `limit` bytes.
[[nodiscard]] int FindLastLocalText(std::string_view text, std::string_view needle, size_t limit, bool ignoreCase);

// ASCII A-Z lowered; double-byte units left alone.
[[nodiscard]] std::string LowerLocalText(std::string_view text);

} // namespace harvina
