#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harvina {

// Item lists in side files: a 4-byte little-endian count, then per item a 4-byte
// little-endian byte length and the item's bytes.
[[nodiscard]] std::string EncodeItemList(const std::vector<std::string>& items);
// Nothing unless the bytes are exactly one well-formed list.
[[nodiscard]] std::optional<std::vector<std::string>> DecodeItemList(std::string_view bytes);

// Index lists: 0-based indices in decimal joined by ",", e.g. "0,2,5".
[[nodiscard]] std::string FormatIndexList(const std::vector<int>& indices);
// Entry by entry as integers; an entry that is no number counts as 0.
[[nodiscard]] std::vector<int> ParseIndexList(std::string_view text);

// A stored number as an int: truncated, clamped to the int range, NaN as 0.
[[nodiscard]] int ClampToInt(double value);

} // namespace harvina
