#include "text/ContainsKeywords.h"

#include "text/TextSearch.h"

namespace harvina {
namespace {

// Split on character boundaries: "|" is also a valid GBK trail byte.
std::vector<std::string> SplitKeywords(std::string_view list, std::string_view separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    size_t i = 0;
    while (i < list.size()) {
        if (LocalMatchesAt(list, i, separator, false)) {
            parts.emplace_back(list.substr(start, i - start));
            i += separator.size();
            start = i;
        } else {
            i += LocalUnitLength(list, i);
        }
    }
    parts.emplace_back(list.substr(start));
    return parts;
}

int TestKeyword(std::string_view text, std::string_view keyword, const KeywordOptions& options)
{
    if (options.wholeText) {
        if (options.ignoreCase)
            return LowerLocalText(text) == LowerLocalText(keyword) ? 1 : -1;
        return text == keyword ? 1 : -1;
    }
    return FindLocalText(text, keyword, 1, options.ignoreCase);
}

} // namespace

bool ContainsKeywords(std::string_view text, std::string_view keywordList, const KeywordOptions& options)
{
    std::vector<std::string> ownKeywords;
    const std::vector<std::string>* keywords = options.splitKeywords;
    if (!keywords) {
        ownKeywords = SplitKeywords(keywordList, options.separator.empty() ? std::string_view("|") : options.separator);
        keywords = &ownKeywords;
    }

    int tested = 0;
    int hits = 0;
    for (const std::string& keyword : *keywords) {
        if (keyword.empty())
            continue;
        ++tested;
        int result = TestKeyword(text, keyword, options);
        if (result == -1 && options.tryTraditional)
            result = TestKeyword(text, ToTraditionalChinese(keyword), options);
        if (options.foundAt)
            *options.foundAt = result;
        if (result != -1) {
            ++hits;
            if (options.anyOne || options.matchedKeyword) {
                if (options.matchedKeyword)
                    *options.matchedKeyword = keyword;
                return true;
            }
        } else if (!options.anyOne) {
            return false;
        }
    }
    return tested > 0 && hits == tested;
}

} // namespace harvina
