#pragma once

#include <string>
#include <string_view>

namespace harvina {

// Texts are byte strings in the local encoding (GB18030); positions are 1-based
// byte positions and -1 means "not found". Marker searches fold ASCII A-Z only and
// never match inside a double-byte character.

struct TextBetweenOptions {
    bool backwards = false;  // tail-first search
    int startShift = 0;      // moves the start of the result right
    int endShift = 0;        // moves the end of the result left
    bool keepQuotes = false; // false: markers go through ExpandQuotes first
    int* previousEnd = nullptr; // in/out, backwards search only
};

// The text between the first head at or after `position` and the first tail after it.
// `position` is in/out: on success just past the tail, on failure -2 (and -2 on entry
// returns empty at once). 0, 1 and negative values other than -2 mean "from the start".
[[nodiscard]] std::string TextBetween(std::string_view text, std::string_view head, std::string_view tail,
                                      int& position, const TextBetweenOptions& options = {});
// Same with a temporary position of 0.
[[nodiscard]] std::string TextBetween(std::string_view text, std::string_view head, std::string_view tail);

// Every "''" becomes one double quote, left to right without overlap.
[[nodiscard]] std::string ExpandQuotes(std::string_view text);

} // namespace harvina
