#include "web/DecodeBody.h"

#include "platform/Charset.h"
#include "tests/support/GzipFixture.h"

#include <gtest/gtest.h>

namespace harvina {
namespace {

using testing::GzipBomb;
using testing::GzipBytes;

const std::string kText = "<p>中文网页 — 测试</p>";

std::string Encoded(std::string_view utf8, const char* charset)
{
    return ConvertBytes(utf8, "UTF-8", charset);
}

std::string Page(std::string_view head, std::string_view body)
{
    return "<html><head>" + std::string(head) + "</head><body>" + std::string(body) + "</body></html>";
}

TEST(LooksLikeUtf8, ShapesOfBytes)
{
    struct Case {
        const char* name;
        std::string bytes;
        bool expected;
    } cases[] = {
        {"empty", "", false},
        {"ascii only", "plain text", false},
        {"two-byte", "caf\xC3\xA9", true},
        {"three-byte", "\xE4\xB8\xAD", true},
        {"four-byte rejected", "a\xF0\x9F\x98\x80", false},
        {"lead at the end", "ok\xC3", false},
        {"three-byte cut short", "\xE4\xB8", false},
        {"bare continuation", "\x80", false},
        {"gbk bytes", "\xD6\xD0\xCE\xC4", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LooksLikeUtf8(c.bytes), c.expected) << c.name;
}

TEST(DetectMetaCharset, MetaElementsOfTheHead)
{
    struct Case {
        const char* name;
        std::string page;
        int expected;
    } cases[] = {
        {"bare", Page("<meta charset=utf-8>", ""), 2},
        {"double quotes", Page("<meta charset=\"utf-8\">", ""), 2},
        {"single quotes", Page("<meta charset='UTF-8'>", ""), 2},
        {"upper case", Page("<META HTTP-EQUIV=\"CONTENT-TYPE\" CONTENT=\"TEXT/HTML; CHARSET=UTF-8\">", ""), 2},
        {"big5", Page("<meta http-equiv=Content-Type content=\"text/html; charset=big5\">", ""), 5},
        {"big5-hkscs before big5", Page("<meta content=\"text/html; charset=big5-hkscs\">", ""), 6},
        {"second meta", Page("<meta name=x content=y><meta charset=big5>", ""), 5},
        {"no head: whole page", "<meta charset=utf-8><p>x</p>", 2},
        {"empty meta stops the walk", Page("<meta><meta charset=utf-8>", ""), 0},
        {"outside the head", Page("<title>t</title>", "<meta charset=utf-8>"), 0},
        {"gb2312", Page("<meta charset=gb2312>", ""), 0},
        {"nothing", "", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DetectMetaCharset(c.page), c.expected) << c.name;
}

TEST(DecodeBody, CharsetMatrix)
{
    const std::string local = LocalText(kText);
    // A four-byte UTF-8 character fails the shape test, so only a declaration can make it UTF-8.
    const std::string emoji = "<p>\xF0\x9F\x98\x80 中文</p>";
    const std::string gbkPage = LocalText(Page("<meta charset=gb2312>", "简体中文页面"));
    const std::string hkscs = "<p>香港增補字符 㗎</p>";
    const std::string big5Page =
        Page("<meta http-equiv=Content-Type content=\"text/html; charset=big5\">", "繁體中文網頁");
    const std::string hkscsPage = Page("<meta content=\"text/html; charset=big5-hkscs\">", hkscs);
    ASSERT_FALSE(Encoded(hkscsPage, "BIG5-HKSCS").empty());

    struct Case {
        const char* name;
        std::string body;
        int code;
        std::string expected;
    } cases[] = {
        {"utf-8 mark", "\xEF\xBB\xBF" + kText, 0, local},
        {"utf-8 by shape", kText, 0, local},
        {"utf-16le mark", "\xFF\xFE" + Encoded(kText, "UTF-16LE"), 0, local},
        {"utf-16be mark", "\xFE\xFF" + Encoded(kText, "UTF-16BE"), 0, local},
        {"code 3 skips the mark", "\xFF\xFE" + Encoded(kText, "UTF-16LE"), 3, local},
        {"code 3 skips two bytes anyway", Encoded("ab" + kText, "UTF-16LE"), 3, LocalText("b" + kText)},
        {"code 2 with the mark", "\xEF\xBB\xBF" + kText, 2, local},
        {"meta utf-8 beats the shape test", Page("<meta charset=UTF-8>", emoji), 0, LocalText(Page("<meta charset=UTF-8>", emoji))},
        {"undeclared four-byte stays raw", emoji, 0, emoji},
        {"empty meta first: raw", Page("<meta><meta charset=utf-8>", emoji), 0, Page("<meta><meta charset=utf-8>", emoji)},
        {"big5 meta", Encoded(big5Page, "BIG5"), 0, LocalText(big5Page)},
        {"big5-hkscs meta", Encoded(hkscsPage, "BIG5-HKSCS"), 0, LocalText(hkscsPage)},
        {"gbk passes through", gbkPage, 0, gbkPage},
        {"ascii unchanged", "<html>plain</html>", 0, "<html>plain</html>"},
        {"code 1 unchanged", kText, 1, kText},
        {"unknown code like 1", kText, 9, kText},
        {"negative code like 1", kText, -7, kText},
        {"invalid byte: not utf-8", kText + "\xFF", 0, kText + "\xFF"},
        {"code 2 on invalid utf-8 still converts", kText + "\xFF", 2, local},
        {"empty", "", 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeBody(c.body, c.code), c.expected) << c.name;
}

TEST(DecodeBody, MetaNamingAnotherCharsetWinsOverShape)
{
    // Valid UTF-8 declared as BIG5 is converted as BIG5, so it does not come out as the text.
    const std::string page = Page("<meta charset=big5>", "中文网页");
    EXPECT_NE(DecodeBody(page, 0), LocalText(page));
}

TEST(DecodeBody, FailedConversionFallsBackToTheWholeBody)
{
    // Code 4 on a lone byte leaves nothing to convert after the skipped mark.
    EXPECT_EQ(DecodeBody("\xFE\xFF", 4), "\xFE\xFF");
    EXPECT_EQ(DecodeBody("x", 3), "x");
}

TEST(GunzipBody, WholeAndTruncated)
{
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += "line " + std::to_string(i) + " of a page\n";
    const std::string gz = GzipBytes(text);
    EXPECT_EQ(GunzipBody(gz), text);

    const std::string cut = GunzipBody(gz.substr(0, gz.size() / 2));
    EXPECT_FALSE(cut.empty());
    EXPECT_LT(cut.size(), text.size());
    EXPECT_EQ(text.compare(0, cut.size(), cut), 0);

    EXPECT_EQ(GunzipBody("not gzip at all"), "");
    EXPECT_EQ(GunzipBody(""), "");
}

TEST(DecodeBody, GzipIsUndoneFirst)
{
    const std::string page = Page("<meta charset=utf-8>", "中文");
    EXPECT_EQ(DecodeBody(GzipBytes(page), 0), LocalText(page));
    std::string lines;
    for (int i = 0; i < 3000; ++i)
        lines += "row " + std::to_string(i) + "\r\n";
    const std::string gz = GzipBytes(lines);
    const std::string cut = DecodeBody(gz.substr(0, gz.size() / 2), 0);
    EXPECT_GT(cut.size(), 0u);
    EXPECT_LT(cut.size(), lines.size());
    EXPECT_EQ(lines.compare(0, cut.size(), cut), 0);
}

TEST(GunzipBody, BombFixtureIsValid)
{
    const std::string bomb = GzipBomb(4u << 20);
    EXPECT_LT(bomb.size(), 64u * 1024u);
    EXPECT_EQ(GunzipBody(bomb), std::string(4u << 20, '\0'));
}

TEST(ConvertCharset, NamesAndFailures)
{
    EXPECT_EQ(ConvertCharset(LocalText("中文"), "GB18030", "UTF-8"), "中文");
    EXPECT_EQ(ConvertCharset("ab", "UTF-8", "UTF-16LE"), std::string("a\0b\0", 4));
    EXPECT_EQ(ConvertCharset("ab", "no-such-charset", "GB18030"), "");
    EXPECT_EQ(ConvertCharset("", "UTF-8", "GB18030"), "");
}

TEST(DeclaresUtf8, HeaderForms)
{
    EXPECT_TRUE(DeclaresUtf8("Content-Type: text/html; Charset=UTF-8\r\n"));
    EXPECT_TRUE(DeclaresUtf8("Content-Type: text/html; charset=\"utf-8\"\r\n"));
    EXPECT_TRUE(DeclaresUtf8("Content-Type: text/html; charset='utf-8'\r\n"));
    EXPECT_FALSE(DeclaresUtf8("Content-Type: text/html; charset=gbk\r\n"));
    EXPECT_FALSE(DeclaresUtf8(""));
}

} // namespace
} // namespace harvina
