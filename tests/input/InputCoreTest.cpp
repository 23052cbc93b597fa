#include "input/OpenFileFilter.h"
#include "input/SearchUrls.h"
#include "input/TextDialogLayout.h"
#include "input/UrlEncode.h"
#include "platform/Charset.h"

#include <gtest/gtest.h>

namespace harvina {
namespace {

std::string L(const char* utf8) { return LocalText(utf8); }

TEST(UrlEncode, EncodesAsTheSearchAddressesNeed)
{
    struct Case {
        const char* name;
        std::string text;
        bool utf8;
        bool keepAmpersandEquals;
        bool keepUnreserved;
        std::string expected;
    };
    const Case cases[] = {
        {"chinese as utf-8", L("手机"), true, false, true, "%E6%89%8B%E6%9C%BA"},
        {"chinese as gbk bytes", L("手机"), false, false, true, "%CA%D6%BB%FA"},
        {"space", "a b", true, false, true, "a%20b"},
        {"unreserved pass", "Az09!()-.*_", true, false, true, "Az09!()-.*_"},
        {"tilde, apostrophe, colon, slash escaped", "~':/", true, false, true, "%7E%27%3A%2F"},
        {"ampersand and equals escaped", "a=1&b", true, false, true, "a%3D1%26b"},
        {"ampersand and equals kept", "a=1&b", true, true, true, "a=1&b"},
        {"nothing kept", "a.", true, false, false, "%61%2E"},
        {"control byte padded", std::string("\x01", 1), false, false, true, "%01"},
        {"empty", "", true, false, true, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UrlEncode(c.text, c.utf8, c.keepAmpersandEquals, c.keepUnreserved), c.expected) << c.name;
}

TEST(UrlEncode, GbkToUtf8GivesTheUtf8Bytes)
{
    EXPECT_EQ(GbkToUtf8(L("手机 ab")), "手机 ab");
    EXPECT_EQ(GbkToUtf8(""), "");
}

TEST(ToBaseDigits, WritesDigitsMostSignificantFirst)
{
    EXPECT_EQ(ToBaseDigits(0, 16), "0");
    EXPECT_EQ(ToBaseDigits(255, 16), "FF");
    EXPECT_EQ(ToBaseDigits(10, 16), "A");
    EXPECT_EQ(ToBaseDigits(5, 2), "101");
    EXPECT_EQ(ToBaseDigits(35, 36), "Z");
    EXPECT_EQ(ToBaseDigits(1234567890123, 10), "1234567890123");
    EXPECT_EQ(ToBaseDigits(-1, 10), "");
    EXPECT_EQ(ToBaseDigits(5, 1), "") << "base 1 would never end";
    EXPECT_EQ(ToBaseDigits(5, 37), "");
}

SearchUrlControls Fixed(std::string pages, SearchEngineChoice engines)
{
    SearchUrlControls controls;
    controls.pageCountText = [pages] { return pages; };
    controls.engines = [engines] { return engines; };
    return controls;
}

int Lines(const std::string& text)
{
    int n = 0;
    for (size_t pos = 0; (pos = text.find("\r\n", pos)) != std::string::npos; pos += 2)
        ++n;
    return n;
}

TEST(GenerateSearchUrls, BaiduPagesStepByTen)
{
    EXPECT_EQ(GenerateSearchUrlText(L("手机"), Fixed("2", {true, false, false})),
              "https://www.baidu.com/baidu?word=%E6%89%8B%E6%9C%BA&tn=myie2&ch=3&pn=0\r\n"
              "https://www.baidu.com/baidu?word=%E6%89%8B%E6%9C%BA&tn=myie2&ch=3&pn=10\r\n");
}

TEST(GenerateSearchUrls, KeywordByKeywordPageByPageEngineByEngine)
{
    EXPECT_EQ(GenerateSearchUrlText("x\r\ny", Fixed("2", {true, true, true})),
              "https://www.baidu.com/baidu?word=x&tn=myie2&ch=3&pn=0\r\n"
              "https://www.sogou.com/web?query=x&page=1\r\n"
              "https://www.so.com/s?q=x&pn=1\r\n"
              "https://www.baidu.com/baidu?word=x&tn=myie2&ch=3&pn=10\r\n"
              "https://www.sogou.com/web?query=x&page=2\r\n"
              "https://www.so.com/s?q=x&pn=2\r\n"
              "https://www.baidu.com/baidu?word=y&tn=myie2&ch=3&pn=0\r\n"
              "https://www.sogou.com/web?query=y&page=1\r\n"
              "https://www.so.com/s?q=y&pn=1\r\n"
              "https://www.baidu.com/baidu?word=y&tn=myie2&ch=3&pn=10\r\n"
              "https://www.sogou.com/web?query=y&page=2\r\n"
              "https://www.so.com/s?q=y&pn=2\r\n");
}

TEST(GenerateSearchUrls, KeywordListsSplitAtEveryLineBreak)
{
    const SearchUrlControls so = Fixed("1", {false, false, true});
    EXPECT_EQ(GenerateSearchUrlText("x\r\n\r\ny", so),
              "https://www.so.com/s?q=x&pn=1\r\nhttps://www.so.com/s?q=&pn=1\r\nhttps://www.so.com/s?q=y&pn=1\r\n");
    EXPECT_EQ(GenerateSearchUrlText("x\r\n", so), "https://www.so.com/s?q=x&pn=1\r\n");
    EXPECT_EQ(GenerateSearchUrlText("\r\n", so), "https://www.so.com/s?q=&pn=1\r\n");
    EXPECT_EQ(GenerateSearchUrlText("", so), "");
    EXPECT_EQ(GenerateSearchUrlText("a b", Fixed("1", {false, true, false})),
              "https://www.sogou.com/web?query=a%20b&page=1\r\n");
}

TEST(GenerateSearchUrls, PageCountReadsLikeAtoi)
{
    struct Case {
        const char* text;
        int lines;
    };
    const Case cases[] = {{"0", 0},    {"-3", 0},   {"abc", 0}, {"", 0},   {"12abc", 12},
                          {" 2", 2},   {"+3", 3},   {"80", 80}, {"2.9", 2}};
    for (const Case& c : cases)
        EXPECT_EQ(Lines(GenerateSearchUrlText("k", Fixed(c.text, {true, false, false}))), c.lines) << c.text;
    EXPECT_EQ(GenerateSearchUrlText("k", Fixed("5", {})), "") << "no engine chosen";
}

TEST(GenerateSearchUrls, HugePageCountsAreCapped)
{
    EXPECT_EQ(ParsePageCount("99999999999999999999"), INT_MAX);
    EXPECT_EQ(ParsePageCount("-99999999999999999999"), INT_MIN);
    EXPECT_EQ(Lines(GenerateSearchUrlText("k", Fixed("99999999999", {false, false, true}))), kMaxSearchPages);
}

TEST(GenerateSearchUrls, ReadsTheControlsAgainForEveryPageAndKeyword)
{
    int pagesDone = 0;
    int countReads = 0;
    SearchUrlControls controls;
    controls.pageCountText = [&] { return ++countReads == 1 ? std::string("2") : std::string("1"); };
    // Sogou joins from the second page on, as if the user ticked it meanwhile.
    controls.engines = [&] { return SearchEngineChoice{true, pagesDone > 0, false}; };
    controls.afterPage = [&] { ++pagesDone; };
    EXPECT_EQ(GenerateSearchUrlText("x\r\ny", controls),
              "https://www.baidu.com/baidu?word=x&tn=myie2&ch=3&pn=0\r\n"
              "https://www.baidu.com/baidu?word=x&tn=myie2&ch=3&pn=10\r\n"
              "https://www.sogou.com/web?query=x&page=2\r\n"
              "https://www.baidu.com/baidu?word=y&tn=myie2&ch=3&pn=0\r\n"
              "https://www.sogou.com/web?query=y&page=1\r\n");
    EXPECT_EQ(countReads, 2);
    EXPECT_EQ(pagesDone, 3);
}

TEST(GenerateSearchUrls, StopsWhenCancelled)
{
    SearchUrlControls controls = Fixed("80", {true, false, false});
    int pages = 0;
    controls.cancelled = [&] { return ++pages == 3; };
    EXPECT_EQ(Lines(GenerateSearchUrlText("x\r\ny", controls)), 3);
}

TEST(OpenFileFilter, PairsBecomeQtFilters)
{
    EXPECT_EQ(OpenFileFilter("*.*"), "*.* (*)");
    EXPECT_EQ(OpenFileFilter("文本文本|*.txt;*.text;*.ini;*.htn;*.html|全部文件|*.*"),
              "文本文本 (*.txt *.text *.ini *.htn *.html);;全部文件 (*)");
    EXPECT_EQ(OpenFileFilter("Lists|*.txt|Odd"), "Lists (*.txt);;Odd (Odd)");
    EXPECT_EQ(OpenFileFilter(""), "");
}

TEST(TextDialogLayout, HintRowsFollowTheByteCount)
{
    struct Case {
        const char* name;
        std::string hint;
        int columns;
        int rows;
    };
    const Case cases[] = {
        {"empty hint", "", 78, 0},
        {"one short line", "abc", 78, 1},
        {"three short lines", "a\r\nb\r\nc", 78, 3},
        {"empty line inside", "a\r\n\r\nc", 78, 3},
        {"exactly one row", std::string(78, 'x'), 78, 1},
        {"one byte more", std::string(79, 'x'), 78, 2},
        {"chinese counts bytes", L("输入关键词列表："), 6, 3}, // 16 bytes
        {"no room counts one column", "abc", 0, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HintRows(c.hint, c.columns), c.rows) << c.name;
}

TEST(TextDialogLayout, PlacesEveryPartForTheClientSize)
{
    const TextDialogGeometry g = LayoutTextDialog({479, 354}, 5, "a\r\nb\r\nc");
    EXPECT_EQ(g.hint, (LayoutRect{5, 5, 469, 36}));
    EXPECT_EQ(g.body, (LayoutRect{5, 46, 469, 354 - 46 - 34}));
    EXPECT_EQ(g.strip, (LayoutRect{5, 320, 336, 34}));
    EXPECT_EQ(g.strip.top + g.strip.height, 354) << "the strip's bottom is the client's bottom";
    EXPECT_EQ(g.cancel, (LayoutRect{410, 325, 64, 24}));
    EXPECT_EQ(g.ok, (LayoutRect{346, 325, 64, 24})) << "OK touches Cancel";

    const TextDialogGeometry empty = LayoutTextDialog({479, 354}, 5, "");
    EXPECT_EQ(empty.hint.height, 0);
    EXPECT_EQ(empty.body.top, 10) << "body at 2m";

    // 100 bytes in rows of (479 - 16) / 6 = 77 columns take two rows.
    EXPECT_EQ(LayoutTextDialog({479, 354}, 8, std::string(100, 'x')).hint.height, 24);
}

TEST(TextDialogLayout, MarginAndCreationSizes)
{
    EXPECT_EQ(EffectiveMargin(0), 5);
    EXPECT_EQ(EffectiveMargin(-2), 5);
    EXPECT_EQ(EffectiveMargin(7), 7);
    EXPECT_EQ(TextDialogClientSize(0, 0, 5), kTextDialogClient);
    EXPECT_EQ(TextDialogClientSize(300, 0, 5), (LayoutSize{310, kTextDialogClient.height}));
    EXPECT_EQ(TextDialogClientSize(0, 200, 5), (LayoutSize{kTextDialogClient.width, 33 + 10 + 200 + 15 + 24}));
    EXPECT_EQ(CentredWindow({1024, 768}, {495, 393}), (LayoutRect{264, 172, 495, 393}));
    EXPECT_EQ(CentredWindow({1025, 769}, {100, 100}), (LayoutRect{462, 319, 100, 100})) << "truncated";
}

} // namespace
} // namespace harvina
