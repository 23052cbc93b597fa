#include "platform/Charset.h"
#include "text/ContainsKeywords.h"
#include "text/TextBetween.h"

#include <gtest/gtest.h>

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
