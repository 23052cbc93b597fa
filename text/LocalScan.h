#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace harvina {

// Fast scanning of local text (GB18030) for the cleaner and the markup reader.
// Character units follow GB18030: a lead byte 0x81-0xFE takes a trail byte
// 0x40-0x7E or 0x80-0xFE (two bytes) or a digit, lead, digit (four bytes);
// anything else is a unit of one byte. Bytes below 0x30 and 0x3A-0x3F never
// occur inside a unit, so a match of "<", "&", "/" or ";" needs no boundary check.

[[nodiscard]] inline bool IsAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }
[[nodiscard]] inline char FoldAscii(char c) { return IsAsciiUpper(c) ? static_cast<char>(c + ('a' - 'A')) : c; }

// Bytes in the unit starting at `i` (1, 2 or 4; never past the end).
[[nodiscard]] size_t LocalUnitAt(std::string_view text, size_t i);

// Walks units from `from` (a boundary) to the first boundary at or after `target`.
[[nodiscard]] size_t AdvanceUnits(std::string_view text, size_t from, size_t target);

// A byte that can only start a unit.
[[nodiscard]] inline bool AlwaysUnitStart(unsigned char c) { return c < 0x30 || (c >= 0x3A && c < 0x40); }

// Does `needle` occur at `at` (assumed a unit boundary)? Folding touches
// single-byte units only.
[[nodiscard]] bool MatchesAt(std::string_view text, size_t at, std::string_view needle, bool ignoreCase);

// Forward search for `needle` that begins on a unit boundary, at or after `from`
// (itself a boundary). Returns npos when absent or when the needle is empty.
[[nodiscard]] size_t FindLocal(std::string_view text, std::string_view needle, size_t from, bool ignoreCase);

// The first place in [from, end) of byte `a` or byte `b` (the same byte or two cases
// of a letter), npos when neither occurs there.
[[nodiscard]] size_t FindEitherByte(std::string_view text, size_t from, size_t end, char a, char b);

// ASCII A-Z lowered byte for byte: positions stay, and trail bytes only ever
// follow a lead byte, so searches for "<"-led patterns are unaffected.
[[nodiscard]] std::string LowerBytes(std::string_view text);
// The same into `out` (replaced whole), which must not hold `text`.
void LowerBytes(std::string_view text, std::string& out);

} // namespace harvina
