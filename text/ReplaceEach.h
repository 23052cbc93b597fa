#pragma once

#include <string>
#include <string_view>

namespace harvina {

struct ReplaceOptions {
    bool caseSensitive = false;      // false: ASCII A-Z fold
    bool fillFromFirst = false;      // an empty target item takes the first target
    std::string_view separator = {}; // empty means "|"
    int count = 0;                   // replacements per item; 0 means every occurrence
};

// Item by item: every occurrence of source item i becomes target item i (targets
// cut or padded with empty items), each item working on the result of the ones
// before it. Matches never begin inside a double-byte character.
[[nodiscard]] std::string ReplaceEach(std::string_view text, std::string_view sources,
                                      std::string_view targets = {}, const ReplaceOptions& options = {});

// CR LF, lone CR and lone LF all become CR LF (so does a literal "[#rn#]").
[[nodiscard]] std::string NormalizeLineBreaks(std::string_view text);

} // namespace harvina
