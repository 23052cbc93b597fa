#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace harvina {

// Named references of the built-in table, then (unless namedOnly) decimal and
// hexadecimal numeric references, to local text.
[[nodiscard]] std::string DecodeEntities(std::string_view text, bool namedOnly = false);

// Hex digits to a number, wrapping at 32 bits; a byte that is not a hex digit adds -2.
[[nodiscard]] std::int32_t HexValue(std::string_view text);

// The low then the high 16 bits as two UTF-16 code units, to local text up to the
// first NUL; a lone surrogate becomes "?". A value 0x10000-0x10FFFF is taken as
// the code point it names, which the local encoding holds.
[[nodiscard]] std::string CodeUnitToText(std::int32_t value);

} // namespace harvina
