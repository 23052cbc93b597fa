#pragma once

#include <string>
#include <string_view>

namespace harvina {

// Byte-exact searches over the settings text with 1-based positions; -1 is "none".
// A start of 0 or 1 searches from the first byte.
[[nodiscard]] int FindBytes(std::string_view text, std::string_view needle, int from);
// Last occurrence that starts before position `before`.
[[nodiscard]] int FindLastBytes(std::string_view text, std::string_view needle, int before);
[[nodiscard]] bool HasLineBreak(std::string_view text);
[[nodiscard]] bool StartsLine(std::string_view text, int position);
// Bytes first..last (1-based, inclusive); empty when the range is empty or outside.
[[nodiscard]] std::string BytesBetween(std::string_view text, int first, int last);
[[nodiscard]] std::string ReplaceAllBytes(std::string_view text, std::string_view from, std::string_view to);

// The local texts the store writes.
[[nodiscard]] const std::string& LineBreakEscape(); // stands for CR LF inside a value
[[nodiscard]] const std::string& TrueText();
[[nodiscard]] const std::string& FalseText();

inline constexpr std::string_view kLineBreak = "\r\n";

} // namespace harvina
