#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace harvina {

enum class SearchEngine { Baidu, Sogou, So360 };

// Which engines take part; read again for every page of a generation.
struct SearchEngineChoice {
    bool baidu = false;
    bool sogou = false;
    bool so360 = false;
};

// Pages per keyword above this are not generated: the list would only grow
// without bound, and no engine serves that many result pages.
inline constexpr int kMaxSearchPages = 10000;

// The result-page address of `engine` for an already encoded keyword and a
// 1-based page number, without a line break.
[[nodiscard]] std::string SearchUrl(SearchEngine engine, std::string_view encodedKeyword, int page);

// Keywords of a CR LF separated list: every CR LF ends one (empty ones count);
// a last piece after the final CR LF counts only when not empty.
[[nodiscard]] std::vector<std::string> SplitKeywords(std::string_view text);

// The page count as C's atoi reads it (leading blanks, sign, digits; 0 without
// digits), saturating instead of overflowing.
[[nodiscard]] int ParsePageCount(std::string_view text);

// What the generator window supplies while a list is built: the page-count text
// and the engine choice are read afresh as the loop needs them, and `afterPage`
// lets the user interface run its pending events.
struct SearchUrlControls {
    std::function<std::string()> pageCountText;
    std::function<SearchEngineChoice()> engines;
    std::function<void()> afterPage;
    // Asked after every page; true ends the generation early (window gone).
    std::function<bool()> cancelled;
};

// Every address for every keyword and page, each followed by CR LF: keyword by
// keyword, page by page, Baidu then Sogou then 360 within a page.
[[nodiscard]] std::string GenerateSearchUrlText(std::string_view keywords, const SearchUrlControls& controls);

} // namespace harvina
