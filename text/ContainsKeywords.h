#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace harvina {

struct KeywordOptions {
    bool anyOne = false;              // true: one keyword found is enough
    std::string_view separator = "|"; // empty means "|"
    std::string* matchedKeyword = nullptr; // when given: receives the first keyword found, and success returns at once
    int* foundAt = nullptr;           // position of the last keyword tested (or 1 / -1 in whole-text mode)
    bool tryTraditional = false;      // retry a missing keyword in its traditional form
    const std::vector<std::string>* splitKeywords = nullptr; // already split: the list text is ignored
    bool ignoreCase = true;
    bool wholeText = false;           // compare the whole text instead of searching in it
};

// Does `text` contain any (anyOne) or every non-empty keyword of the list?
// An empty list, or one of empty keywords only, gives false.
[[nodiscard]] bool ContainsKeywords(std::string_view text, std::string_view keywordList,
                                    const KeywordOptions& options = {});

// Simplified to traditional Chinese, character by character, keeping the byte length.
[[nodiscard]] std::string ToTraditionalChinese(std::string_view text);

} // namespace harvina
