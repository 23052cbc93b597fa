#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace harvina {

// The input box text (local text, "\r\n" between lines) from lines typed on
// the command line, or from the contents of a file or of standard input.
// UTF-8 is converted; bytes that are not UTF-8 are taken as local text
// already. Line breaks "\n" and "\r\n" both separate lines.
[[nodiscard]] std::string InputBoxText(std::string_view contents);
[[nodiscard]] std::string InputBoxText(const std::vector<std::string>& lines);

} // namespace harvina
