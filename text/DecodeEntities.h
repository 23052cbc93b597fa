#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace harvina {

// Named references of the built-in table, then (unless namedOnly) decimal and
// hexadecimal numeric references, to local text.
[[nodiscard]] std::string DecodeEntities(std::string_view text, bool namedOnly = false);

// Hex digits to a number; a byte that is not a hex digit counts as -2.
[[nodiscard]] std::int64_t HexValue(std::string_view text);

// The low then the high 16 bits as two UTF-16 code units, to local text up to the
// first NUL; code points the local encoding lacks become "?".
[[nodiscard]] std::string CodeUnitToText(std::int64_t value);

} // namespace harvina
