#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace harvina {

// Percent-encoding of a text for a query string. With `utf8` the local text is
// converted to UTF-8 first; otherwise its own GBK bytes are encoded. Unreserved
// bytes (letters, digits and ! ( ) - . * _) pass unchanged when `keepUnreserved`;
// "&" and "=" pass when `keepAmpersandEquals`. Everything else becomes %XX.
[[nodiscard]] std::string UrlEncode(std::string_view text, bool utf8, bool keepAmpersandEquals = false,
                                    bool keepUnreserved = true);

// The UTF-8 bytes of a local (GBK/GB18030) text.
[[nodiscard]] std::string GbkToUtf8(std::string_view text);

// Digits of `value` in `base` (2 to 36), most significant first, capital letters
// above 9; "0" for 0. Empty for a negative value or a base out of range.
[[nodiscard]] std::string ToBaseDigits(std::int64_t value, int base);

} // namespace harvina
