#include "platform/Charset.h"
#include "text/ContainsKeywords.h"
#include "text/LocalScan.h"
#include "text/TextBetween.h"
#include "text/TextSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace harvina {
namespace {

struct BetweenCase {
    const char* name;
    std::string text;
    std::string head;
    std::string tail;
    int position;
    TextBetweenOptions options;
    std::string expected;
    int expectedPosition;
};

TEST(TextBetween, ForwardCases)
{
    const std::vector<BetweenCase> cases = {
        {"title", "x<title>Home</title>y", "<title>", "</title>", 0, {}, "Home", 21},
        {"head case folded", "x<title>Home</title>y", "<TITLE>", "</Title>", 0, {}, "Home", 21},
        {"empty head from start", "abc def", "", " ", 0, {}, "abc", 15},
        {"empty tail to end", "abc def", " ", "", 0, {}, "def", 18},
        {"adjacent markers", "<b></b>", "<b>", "</b>", 0, {}, "", 8},
        {"missing tail", "<b>open", "<b>", "</b>", 0, {}, "", -2},
        {"missing head", "open</b>", "<b>", "</b>", 0, {}, "", -2},
        {"negative position means start", "<b>x</b>", "<b>", "</b>", -7, {}, "x", 9},
        {"position past the end", "<b>x</b>", "<b>", "</b>", 50, {}, "", -2},
        {"first head only, no later heads", "<b>1<b>2</b>", "<b>", "</b>", 0, {}, "1<b>2", 13},
        {"shifts narrow", "[abcd]", "[", "]", 0, {false, 1, 1}, "bc", 7},
        {"negative shifts widen over markers", "[abcd]", "[", "]", 0, {false, -1, -1}, "[abcd]", 7},
        {"shift past the end is empty", "[ab]", "[", "]", 0, {false, 9, 0}, "", 5},
        {"start before text is empty", "[ab]", "[", "]", 0, {false, -5, 0}, "", 5},
        {"end shift past the end shortens", "[ab]", "[", "]", 0, {false, 0, -20}, "ab]", 5},
        {"markers expand quotes", "a=\"v\"", "a=''", "''", 0, {}, "v", 6},
        {"keep quotes matches apostrophes", "a=''v''", "a=''", "''", 0, {false, 0, 0, true}, "v", 8},
        // Second attempt: the quoted attribute prefix matches an unquoted attribute.
        {"quotes dropped on retry", "<meta charset=utf-8>", "charset=''", "''>", 0, {}, "utf-8", 21},
        // Retry leaves the lone-quote tail empty: found, empty, position 1.
        {"retry with lone quote tail", "<a href='x'>", "href=''", "''", 0, {}, "", 1},
        // A trail byte that equals an ASCII letter is not a match.
        {"no match inside a double-byte character", "\x81" "a<x>", "a", ">", 0, {}, "", -2},
        {"match after a double-byte character", "\x81" "aa<x>", "a", ">", 0, {}, "<x", 7},
        {"four-byte character kept whole", "\x81\x30\x81\x30" "<x>", "\x81\x30", ">", 0, {}, "\x81\x30<x", 8},
    };
    for (const auto& c : cases) {
        int position = c.position;
        EXPECT_EQ(TextBetween(c.text, c.head, c.tail, position, c.options), c.expected) << c.name;
        EXPECT_EQ(position, c.expectedPosition) << c.name;
    }
}

TEST(TextBetween, PositionWalksOccurrencesThenStaysExhausted)
{
    const std::string page = "<i>1</i> <I>2</i>";
    int position = 0;
    EXPECT_EQ(TextBetween(page, "<i>", "</i>", position), "1");
    EXPECT_EQ(position, 9);
    EXPECT_EQ(TextBetween(page, "<i>", "</i>", position), "2");
    EXPECT_EQ(position, 18);
    EXPECT_EQ(TextBetween(page, "<i>", "</i>", position), "");
    EXPECT_EQ(position, -2);
    // -2 on entry returns at once, even where the markers would match from the start.
    EXPECT_EQ(TextBetween(page, "<i>", "</i>", position), "");
    EXPECT_EQ(position, -2);
    EXPECT_EQ(TextBetween(page, "<i>", "</i>"), "1");
}

TEST(TextBetween, ChineseMarkersAndSentinelPositions)
{
    const std::string text = LocalText("标题：手机（新）");
    int position = 0;
    EXPECT_EQ(TextBetween(text, LocalText("："), LocalText("（"), position), LocalText("手机"));
    EXPECT_EQ(position, 13);
    // Positions count in the working text, which carries the 10-byte head sentinel.
    position = 0;
    EXPECT_EQ(TextBetween(text, "", LocalText("："), position), LocalText("标题"));
    EXPECT_EQ(position, 10 + 4 + 2 + 1);
}

TEST(TextBetween, BackwardsTakesLastHeadBeforeTailAndTracksPreviousEnd)
{
    TextBetweenOptions options;
    options.backwards = true;
    int previousEnd = 0;
    options.previousEnd = &previousEnd;

    const std::string text = "<a>x<a>1</b><a>2</b>";
    int position = 0;
    EXPECT_EQ(TextBetween(text, "<a>", "</b>", position, options), "1");
    EXPECT_EQ(position, 13);
    EXPECT_EQ(previousEnd, 9);
    EXPECT_EQ(TextBetween(text, "<a>", "</b>", position, options), "2");
    EXPECT_EQ(previousEnd, 17);
    EXPECT_EQ(TextBetween(text, "<a>", "</b>", position, options), "");
    EXPECT_EQ(position, -2);

    // A tail whose nearest head was already used is not a new occurrence.
    const std::string stray = "<a>1</b>2</b>";
    previousEnd = 0;
    position = 0;
    EXPECT_EQ(TextBetween(stray, "<a>", "</b>", position, options), "1");
    EXPECT_EQ(TextBetween(stray, "<a>", "</b>", position, options), "");
    EXPECT_EQ(position, -2);
    EXPECT_EQ(previousEnd, 10);
}

TEST(ExpandQuotes, PairsBecomeDoubleQuotesWithoutOverlap)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"charset=''gbk''", "charset=\"gbk\""},
        {"''''", "\"\""},
        {"'''", "\"'"},
        {"'", "'"},
        {"", ""},
        {"no quotes", "no quotes"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(ExpandQuotes(in), out) << in;
}

struct KeywordCase {
    const char* name;
    std::string text;
    std::string list;
    KeywordOptions options;
    bool expected;
};

KeywordOptions AnyOne()
{
    KeywordOptions o;
    o.anyOne = true;
    return o;
}

// The searches skip from one place of the needle's first byte to the next; these
// walk every character and try each one, as the boundary rules state them.
int WalkFirst(std::string_view text, std::string_view needle, int from, bool ignoreCase)
{
    size_t i = from > 1 ? static_cast<size_t>(from - 1) : 0;
    if (i >= text.size())
        return -1;
    if (needle.empty())
        return 1;
    for (; i + needle.size() <= text.size(); i += LocalUnitLength(text, i))
        if (LocalMatchesAt(text, i, needle, ignoreCase))
            return static_cast<int>(i + 1);
    return -1;
}

int WalkLast(std::string_view text, std::string_view needle, size_t limit, bool ignoreCase)
{
    limit = std::min(limit, text.size());
    if (needle.empty())
        return text.empty() ? -1 : 1;
    int last = -1;
    for (size_t i = 0; i + needle.size() <= limit; i += LocalUnitLength(text, i))
        if (LocalMatchesAt(text, i, needle, ignoreCase))
            last = static_cast<int>(i + 1);
    return last;
}

size_t WalkUnits(std::string_view text, std::string_view needle, size_t from, bool ignoreCase)
{
    if (needle.empty())
        return std::string_view::npos;
    for (size_t i = from; i + needle.size() <= text.size(); i += LocalUnitAt(text, i))
        if (MatchesAt(text, i, needle, ignoreCase))
            return i;
    return std::string_view::npos;
}

TEST(TextSearch, SkippingSearchesAgreeWithCharacterWalks)
{
    // Few distinct bytes, so first bytes recur everywhere: as single characters, as
    // trail bytes after a lead, and in both cases.
    const char alphabet[] = {'a', 'A', 'b', '<', '"', '0', '5', ' ', '\x81', '\xB0', '\xE4', '\x80', '\xFF'};
    std::mt19937 random(5);
    for (int round = 0; round < 400; ++round) {
        std::string text;
        for (size_t k = random() % 300; k > 0; --k)
            text += alphabet[random() % std::size(alphabet)];
        // Long ASCII stretches for the word-at-a-time walk.
        if (round % 4 == 0)
            text.insert(random() % (text.size() + 1), std::string(20 + random() % 40, 'b'));
        for (int probe = 0; probe < 20; ++probe) {
            std::string needle;
            if (!text.empty() && probe % 2 == 0) {
                needle = text.substr(random() % text.size(), 1 + random() % 4);
                for (char& c : needle)
                    if (c == 'a' && random() % 2)
                        c = 'A';
            } else {
                for (size_t k = 1 + random() % 3; k > 0; --k)
                    needle += alphabet[random() % std::size(alphabet)];
            }
            const bool ignoreCase = random() % 2 == 0;
            const int from = static_cast<int>(random() % (text.size() + 3)) - 1;
            const size_t limit = random() % (text.size() + 3);
            ASSERT_EQ(FindLocalText(text, needle, from, ignoreCase), WalkFirst(text, needle, from, ignoreCase))
                << round << " " << probe;
            ASSERT_EQ(FindLastLocalText(text, needle, limit, ignoreCase), WalkLast(text, needle, limit, ignoreCase))
                << round << " " << probe;
            const size_t unitFrom = AdvanceUnits(text, 0, std::min<size_t>(static_cast<size_t>(from + 1), text.size()));
            ASSERT_EQ(FindLocal(text, needle, unitFrom, ignoreCase), WalkUnits(text, needle, unitFrom, ignoreCase))
                << round << " " << probe;
        }
    }
}

TEST(ContainsKeywords, AnyAndAllCases)
{
    KeywordOptions caseSensitive;
    caseSensitive.ignoreCase = false;
    KeywordOptions comma = AnyOne();
    comma.separator = ",";
    KeywordOptions whole;
    whole.wholeText = true;
    KeywordOptions wholeExact = whole;
    wholeExact.ignoreCase = false;

    const std::vector<KeywordCase> cases = {
        {"any suffix", "shop.example.cn", ".com|.cn|.net", AnyOne(), true},
        {"all suffixes", "shop.example.cn", ".com|.cn|.net", {}, false},
        {"all present", "a.b.c", "a|.c", {}, true},
        {"empty keywords skipped", "a.b.c", "|a||.c|", {}, true},
        {"only empty keywords, any", "abc", "|", AnyOne(), false},
        {"only empty keywords, all", "abc", "|", {}, false},
        {"empty list", "abc", "", {}, false},
        {"case ignored by default", "SHOP.cn", "shop", {}, true},
        {"case kept on request", "SHOP.cn", "shop", caseSensitive, false},
        {"own separator", "x.com", ".cn,.com", comma, true},
        {"whole text mode needs equality", "a.cn", ".cn", whole, false},
        {"whole text mode equal", "Example.CN", "example.cn", whole, true},
        {"whole text case kept", "Example.CN", "example.cn", wholeExact, false},
        // "|" is a valid trail byte: the list holds one Chinese keyword and "zzz".
        {"separator not split inside a character", "\x81\x40", "\x81\x7C|zzz", AnyOne(), false},
        {"trail byte letters not folded", "\x81" "a", "\x81" "A", {}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ContainsKeywords(c.text, c.list, c.options), c.expected) << c.name;
}

TEST(ContainsKeywords, ReportsMatchedKeywordAndPosition)
{
    std::string matched;
    int foundAt = 0;
    KeywordOptions options;
    options.matchedKeyword = &matched;
    options.foundAt = &foundAt;
    // A matched-keyword variable makes the first hit decide, even when all are wanted;
    // a miss before it still fails the all-mode test.
    EXPECT_TRUE(ContainsKeywords("shop.example.cn", ".CN|.com|.net", options));
    EXPECT_EQ(matched, ".CN");
    EXPECT_EQ(foundAt, 13);
    matched.clear();
    EXPECT_FALSE(ContainsKeywords("shop.example.cn", ".com|.cn", options));
    EXPECT_EQ(matched, "");

    KeywordOptions all;
    all.foundAt = &foundAt;
    EXPECT_FALSE(ContainsKeywords("shop.example.cn", "shop|.com|.cn", all));
    EXPECT_EQ(foundAt, -1);

    KeywordOptions whole = AnyOne();
    whole.wholeText = true;
    whole.foundAt = &foundAt;
    EXPECT_TRUE(ContainsKeywords("a.cn", "x|A.CN", whole));
    EXPECT_EQ(foundAt, 1);
}

TEST(ContainsKeywords, SplitArrayReplacesTheList)
{
    const std::vector<std::string> keywords = {"", "b|c"};
    KeywordOptions options;
    options.splitKeywords = &keywords;
    EXPECT_TRUE(ContainsKeywords("ab|cd", "zzz", options));
    EXPECT_FALSE(ContainsKeywords("abcd", "b|c", options));
}

TEST(ToTraditionalChinese, CharacterByCharacterKeepingLength)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"国发网络", "國發網絡"},
        {"abc中文", "abc中文"},
        {"繁體", "繁體"},
    };
    for (const auto& [simplified, traditional] : cases)
        EXPECT_EQ(Utf8Text(ToTraditionalChinese(LocalText(simplified))), traditional) << traditional;

    // Four-byte characters, lone and broken bytes pass through untouched.
    const std::string odd = LocalText("𠀀") + "\x81\x30" "a\xFF" + LocalText("国").substr(0, 1);
    EXPECT_EQ(ToTraditionalChinese(odd), odd);
}

TEST(ContainsKeywords, TraditionalRetry)
{
    KeywordOptions options;
    options.tryTraditional = true;
    EXPECT_TRUE(ContainsKeywords(LocalText("中國網站"), LocalText("国|网站"), options));
    EXPECT_FALSE(ContainsKeywords(LocalText("中國網站"), LocalText("国|网站")));
}

} // namespace
} // namespace harvina
