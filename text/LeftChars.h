#pragma once

#include <string>
#include <string_view>

namespace harvina {

// Characters as the user sees them: a double-byte character and a CR LF pair each count one.
[[nodiscard]] int CharCount(std::string_view text);
// The first n characters; a negative n means all but the last -n. 0 gives empty text.
[[nodiscard]] std::string LeftChars(std::string_view text, int n);

} // namespace harvina
