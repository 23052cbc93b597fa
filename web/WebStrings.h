#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace harvina {

inline constexpr std::string_view kCrLf = "\r\n";

// Leading and trailing ASCII and full-width spaces removed; tabs and line breaks stay.
[[nodiscard]] std::string TrimSpaces(std::string_view text);
// ASCII A-Z folded.
[[nodiscard]] bool StartsWithNoCase(std::string_view text, std::string_view prefix);
[[nodiscard]] bool ContainsNoCase(std::string_view text, std::string_view needle);
// Starts with "http://" or "https://", case ignored.
[[nodiscard]] bool HasWebScheme(std::string_view url);
// Every piece between separators, empty ones included.
[[nodiscard]] std::vector<std::string> SplitText(std::string_view text, std::string_view separator);
[[nodiscard]] std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
// Seconds to milliseconds, truncated and held within int range.
[[nodiscard]] int SecondsToMs(double seconds);
// Truncated toward zero, held within int range; NaN gives 0.
[[nodiscard]] int TruncateSeconds(double seconds);

} // namespace harvina
