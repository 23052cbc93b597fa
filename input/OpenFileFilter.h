#pragma once

#include <string>
#include <string_view>

namespace harvina {

// Turns a filter in the pair convention ("description|pattern|description|pattern",
// patterns separated by ";") into Qt's form ("description (p1 p2);;..."). A last
// entry without a pattern is its own pattern, and "*.*" means every file ("*"),
// as it does for the Windows dialog. UTF-8 in and out: the result goes to Qt.
[[nodiscard]] std::string OpenFileFilter(std::string_view pairs);

} // namespace harvina
