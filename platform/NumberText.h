#pragma once

#include <string>
#include <string_view>

namespace harvina {

// Numbers as text, independent of the process locale (a GUI toolkit may set one).

// Like printf's "%.13g" in the C locale.
[[nodiscard]] std::string FormatNumber(double value);
// Like C's atof in the C locale: the leading number of the text, 0 when there is none.
[[nodiscard]] double ParseLeadingNumber(std::string_view text);

} // namespace harvina
