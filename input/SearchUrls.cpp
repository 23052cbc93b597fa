#include "input/SearchUrls.h"

#include "input/UrlEncode.h"

#include <algorithm>
#include <climits>

namespace harvina {

std::string SearchUrl(SearchEngine engine, std::string_view encodedKeyword, int page)
{
    const std::string keyword(encodedKeyword);
    switch (engine) {
    case SearchEngine::Baidu:
        return "https://www.baidu.com/baidu?word=" + keyword + "&tn=myie2&ch=3&pn=" +
               std::to_string(static_cast<long long>(page - 1) * 10);
    case SearchEngine::Sogou:
        return "https://www.sogou.com/web?query=" + keyword + "&page=" + std::to_string(page);
    case SearchEngine::So360:
        return "https://www.so.com/s?q=" + keyword + "&pn=" + std::to_string(page);
    }
    return {};
}

std::vector<std::string> SplitKeywords(std::string_view text)
{
    std::vector<std::string> keywords;
    size_t start = 0;
    for (size_t pos; (pos = text.find("\r\n", start)) != std::string_view::npos; start = pos + 2)
        keywords.emplace_back(text.substr(start, pos - start));
    if (start < text.size())
        keywords.emplace_back(text.substr(start));
    return keywords;
}

int ParsePageCount(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<long long>(value * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
    value = negative ? -value : std::min<long long>(value, INT_MAX);
    return static_cast<int>(std::max<long long>(value, INT_MIN));
}

std::string GenerateSearchUrlText(std::string_view keywords, const SearchUrlControls& controls)
{
    std::string result;
    for (const std::string& keyword : SplitKeywords(keywords)) {
        const int pages = std::min(ParsePageCount(controls.pageCountText()), kMaxSearchPages);
        for (int page = 1; page <= pages; ++page) {
            const SearchEngineChoice choice = controls.engines();
            const auto append = [&](SearchEngine engine) {
                result += SearchUrl(engine, UrlEncode(keyword, true), page);
                result += "\r\n";
            };
            if (choice.baidu)
                append(SearchEngine::Baidu);
            if (choice.sogou)
                append(SearchEngine::Sogou);
            if (choice.so360)
                append(SearchEngine::So360);
            if (controls.afterPage)
                controls.afterPage();
            if (controls.cancelled && controls.cancelled())
                return result;
        }
    }
    return result;
}

} // namespace harvina
