#include "platform/Charset.h"
#include "platform/RegexEngine.h"
#include "platform/RegexSubject.h"
#include "text/RegexMatcher.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace harvina {
namespace {

const char* const kAddressPattern =
    "([a-zA-z]+://|www.)[0-9a-bA-Z\\.\\-]+|[0-9a-bA-Z\\.\\-]+(\\.cn|\\.net|\\.org|\\.cc|\\.info|\\.name|\\.top|\\.ren|"
    "\\.xyz|\\.wang|\\.pw|\\.tw|\\.hk|\\.com)";
const char* const kCleanupPattern = "\\.{2,}|^[\\.\\-]+";

// All matches of `pattern` in `subject` (both UTF-8 here), joined by "|", in UTF-8.
std::string Matches(const std::string& pattern, const std::string& subject, bool ignoreCase = true,
                    bool multiline = true, bool global = true)
{
    RegexMatcher m;
    if (!m.Create(LocalText(pattern), ignoreCase, multiline, global))
        return "<bad pattern>";
    const int n = m.Execute(LocalText(subject));
    std::string out;
    for (int i = 1; i <= n; ++i) {
        if (i > 1)
            out += "|";
        out += Utf8Text(m.MatchText(i));
    }
    return out;
}

struct DialectCase {
    const char* name;
    const char* pattern;
    const char* subject;
    const char* expected;
};

TEST(RegexMatcher, Dialect)
{
    const std::vector<DialectCase> cases = {
        {"address pattern", kAddressPattern, "访问www.example.com或http://a-b.cn/x，见shop.ab.net。",
         "www.example.com|http://a-b.cn|shop.ab.net"},
        {"A-z takes the signs between the cases", "[a-zA-z]+", "a_b^c[d]e`f\\g", "a_b^c[d]e`f\\g"},
        {"a-b with A-Z covers every letter ignoring case", "[0-9a-bA-Z]+", "xyz 09", "xyz|09"},
        {"a Chinese character is one character", "^.{2}$", "中文", "中文"},
        {"code point range", "[\\u4e00-\\u9fa5]+", "abc中文def汉", "中文|汉"},
        {"code point outside a class", "\\u4e2d.", "中文", "中文"},
        {"dot skips CR and LF", "a.b", "a\rb a\nb axb a中b", "axb|a中b"},
        {"lines end at CR, LF and CR LF", "^\\w+$", "ab\rcd\r\nef\ngh", "ab|cd|ef|gh"},
        {"\\s is ASCII only", "\\s+", "a \t\r\nb　c", " \t\r\n"},
        {"ideographic space written out", "[\\s　]+", "a \t　b", " \t　"},
        {"\\w is ASCII only", "\\w+", "ab中cd_1é", "ab|cd_1"},
        {"\\d is ASCII only", "\\d+", "12３4", "12|4"},
        {"\\S", "\\S+", "ab 中文", "ab|中文"},
        {"lazy plus", "<.+?>", "<a><bb>", "<a>|<bb>"},
        {"lazy star across lines", "<b>[\\s\\S]*?</b>", "<b>1\r\n</b><b></b>", "<b>1\r\n</b>|<b></b>"},
        {"at least", "a{2,}", "a aa aaa", "aa|aaa"},
        {"between", "a{1,2}", "aaa", "aa|a"},
        {"optional", "colou?r", "color colour", "color|colour"},
        {"case folded", "ABC", "xabcx", "abc"},
        {"first alternative first", "a|ab", "ab", "a"},
        {"escaped literals", "\\.\\-\\,\\*", "x.-,*y", ".-,*"},
        {"unknown escape is the letter", "\\y", "xy", "y"},
        {"control escapes", "\\t\\r\\n", "a\t\r\nb", "\t\r\n"},
        {"negated class", "[^a-c]+", "abxyzcb", "xyz"},
        {"empty matches advance one character", "x*", "axb", "|x||"},
        {"empty match after a match", "a*", "baa", "|aa|"},
        {"full-width symbol is one character", "⊥.", "⊥中x", "⊥中"},
        {"groups", "(\\w+)@(\\w+)", "a@b c@d", "a@b|c@d"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Matches(c.pattern, c.subject), c.expected) << c.name;
}

TEST(RegexMatcher, FlagsOff)
{
    EXPECT_EQ(Matches("ABC", "abc ABC", false), "ABC");
    EXPECT_EQ(Matches("^b", "a\nb"), "b");
    EXPECT_EQ(Matches("^b", "a\nb", true, false), "");
    EXPECT_EQ(Matches("a$", "a\n", true, false), "");
    EXPECT_EQ(Matches("a$", "a\na", true, false), "a");
    EXPECT_EQ(Matches("\\d", "1 2 3", true, true, false), "1");
}

} // namespace
} // namespace harvina
