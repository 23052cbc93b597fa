#include "platform/Charset.h"
#include "platform/RegexEngine.h"
#include "platform/RegexSubject.h"
#include "text/LocalScan.h"
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
        {"a line starts after the last break", "^", "a\n", "|"},
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


struct ReplaceCase {
    const char* name;
    const char* pattern;
    const char* subject;
    const char* replacement;
    const char* expected;
};

TEST(RegexMatcher, Replace)
{
    const std::string eleven(11, ' ');
    const std::vector<ReplaceCase> cases = {
        {"cleanup: leading run and double dots", kCleanupPattern, "-.a..b", "", "ab"},
        {"cleanup: first alternative wins at the start", kCleanupPattern, "..-a..b", "", "-ab"},
        {"cleanup: every line start", kCleanupPattern, "-a\r\n.b", "", "a\r\nb"},
        {"blanks around equals", "[\\s　]{0,10}=[\\s　]{0,10}", "a 　\t= 　b c=d", "=", "a=b c=d"},
        {"groups by number", "(\\w+)@(\\w+)", "a@b, c@d", "$2 at $1", "b at a, d at c"},
        {"dollar signs", "(b)", "abc", "[$$][$&][$`][$'][$0][$2][$x][$]", "a[$][b][a][c][$0][$2][$x][$]c"},
        {"two digits when the group exists", "(a)", "a", "$10", "a0"},
        {"group that did not take part", "(x)|(y)", "y", "<$1|$2>", "<|y>"},
        {"Chinese replacement and subject", "中(\\w)", "甲中x乙", "【$1】", "甲【x】乙"},
        {"empty pattern matches between characters", "", "中a", "-", "-中-a-"},
        {"nothing to replace", "z", "abc", "-", "abc"},
    };
    for (const auto& c : cases) {
        RegexMatcher m;
        ASSERT_TRUE(m.Create(LocalText(c.pattern))) << c.name;
        EXPECT_EQ(Utf8Text(m.Replace(LocalText(c.subject), LocalText(c.replacement))), c.expected) << c.name;
    }

    RegexMatcher equals;
    ASSERT_TRUE(equals.Create(LocalText("[\\s　]{0,10}=[\\s　]{0,10}")));
    EXPECT_EQ(equals.Replace("a" + eleven + "=b", "="), "a =b");

    RegexMatcher first;
    ASSERT_TRUE(first.Create("o", true, true, false));
    EXPECT_EQ(first.Replace("foo"), "fo");
}

TEST(RegexMatcher, MatchReading)
{
    RegexMatcher m;
    EXPECT_EQ(m.GetPattern(), "");
    EXPECT_EQ(m.Execute("abc"), 0);
    EXPECT_EQ(m.Replace("abc", "x"), "abc");

    ASSERT_TRUE(m.Create("(\\w)(\\d)?"));
    EXPECT_EQ(m.GetPattern(), "(\\w)(\\d)?");
    const std::string text = LocalText("中文A1，b");
    ASSERT_EQ(m.Execute(text), 2);
    EXPECT_EQ(m.MatchCount(), 2);
    EXPECT_EQ(m.SubMatchCount(), 2);
    int offset = -1;
    EXPECT_EQ(m.MatchTextAt(1, &offset), "A1");
    EXPECT_EQ(offset, 2); // characters, not bytes
    EXPECT_EQ(m.SubMatchTextAt(2, 1, &offset), "b");
    EXPECT_EQ(offset, 5);
    EXPECT_EQ(m.SubMatchText(1, 2), "1");
    EXPECT_EQ(m.SubMatchText(2, 2), ""); // did not take part
    EXPECT_EQ(m.MatchTextAt(1, nullptr), "A1");

    // A later Execute replaces the collection; Replace leaves it alone.
    EXPECT_EQ(m.Replace("zz", "-"), "--");
    EXPECT_EQ(m.MatchCount(), 2);
    EXPECT_EQ(m.Execute(LocalText("，")), 0);
    EXPECT_EQ(m.MatchCount(), 0);
    EXPECT_EQ(m.SubMatchCount(), 0);
    EXPECT_EQ(m.MatchText(1), "");
}

TEST(RegexMatcher, CreateDefaultsAndBadPatterns)
{
    RegexMatcher m;
    ASSERT_TRUE(m.Create("^X$"));
    EXPECT_EQ(m.Execute("a\r\nx\r\nX"), 2); // ignore case, multiline, global

    EXPECT_FALSE(m.Create("(unclosed"));
    EXPECT_EQ(m.GetPattern(), "(unclosed");
    EXPECT_EQ(m.Execute("(unclosed"), 0);
    EXPECT_EQ(m.Replace("(unclosed", "x"), "(unclosed");

    RegexMatcher moved = std::move(m);
    EXPECT_TRUE(moved.Create("b"));
    EXPECT_EQ(moved.Replace("abc", "-"), "a-c");
}

TEST(RegexMatcher, EscapeOperations)
{
    EXPECT_EQ(RegexMatcher::WildcardToPattern("a.b*c?"), "a\\.b.*c.?");
    EXPECT_EQ(RegexMatcher::WildcardToPattern("(x|y)-\"\\"), "\\(x|y\\)\\-\\\"\\\\");
    EXPECT_EQ(RegexMatcher::EscapeAll("a|b"), "a\\|b");
    EXPECT_EQ(RegexMatcher::EscapeAll("\\^$+.{}[]=()?*|\""), "\\\\\\^\\$\\+\\.\\{\\}\\[\\]\\=\\(\\)\\?\\*\\|\\\"");
    EXPECT_EQ(RegexMatcher::EscapeKeepBars("a|b-c.d"), "a|b-c\\.d");
    EXPECT_EQ(RegexMatcher::EscapeKeepGroups("(a|b)"), "(a|b)");
    EXPECT_EQ(RegexMatcher::EscapeKeepGroups("[a]*"), "\\[a\\]\\*");

    // An escaped text matches itself.
    const std::string plain = LocalText("价格(元)=1.5*[2]?");
    RegexMatcher m;
    ASSERT_TRUE(m.Create(RegexMatcher::EscapeAll(plain)));
    ASSERT_EQ(m.Execute("x" + plain + "y"), 1);
    EXPECT_EQ(m.MatchText(1), plain);
}

TEST(RegexMatcher, EscapingLeavesDoubleByteCharactersWhole)
{
    // Each of these characters has a trail byte that is a set character on its own:
    // 昞 95 5C "\", 荿 C7 5E "^", 眧 B1 7C "|", and 0x5B, 0x5D, 0x7B, 0x7D likewise.
    const std::string text = LocalText("昞荿眧") + "\x81\x5B\x81\x5D\x81\x7B\x81\x7D" + "|";
    const std::string escaped = text.substr(0, text.size() - 1) + "\\|";
    EXPECT_EQ(RegexMatcher::EscapeAll(text), escaped);
    EXPECT_EQ(RegexMatcher::EscapeKeepBars(text), text);
    EXPECT_EQ(RegexMatcher::WildcardToPattern(text), text);
    RegexMatcher m;
    ASSERT_TRUE(m.Create(escaped));
    ASSERT_EQ(m.Execute(text), 1);
    EXPECT_EQ(m.MatchText(1), text);
}

TEST(RegexMatcher, BrokenBytesComeBackUnchanged)
{
    // Invalid bytes, a NUL, a lead byte with a bad trail and a lone lead byte at the end.
    const std::string text = std::string("ab\x80" "cd") + '\0' + "ef\xFF.com \x81\x7F" "x" + LocalText("中") + "\xCA";
    RegexMatcher m;
    ASSERT_TRUE(m.Create("[^ ]+"));
    ASSERT_EQ(m.Execute(text), 2);
    EXPECT_EQ(m.MatchText(1), std::string("ab\x80" "cd") + '\0' + "ef\xFF.com");
    EXPECT_EQ(m.MatchText(2), std::string("\x81\x7F" "x") + LocalText("中") + "\xCA");
    int offset = 0;
    (void)m.MatchTextAt(2, &offset);
    EXPECT_EQ(offset, 14);

    ASSERT_TRUE(m.Create("\\w+"));
    EXPECT_EQ(m.Execute(text), 5); // ab cd ef com x and nothing from the broken bytes
    EXPECT_EQ(m.Replace(text, "_"), std::string("_\x80_") + '\0' + "_\xFF._ \x81\x7F_" + LocalText("中") + "\xCA");
}


// Every match as the matcher walks them: an empty match moves on by one character.
std::vector<size_t> AllSpans(RegexEngine& engine, const std::u32string& subject)
{
    std::vector<size_t> all;
    std::vector<size_t> found;
    for (size_t from = 0; from <= subject.size() && engine.Find(subject, from, found);) {
        all.insert(all.end(), found.begin(), found.end());
        from = found[1] > found[0] ? found[1] : found[0] + 1;
    }
    return all;
}

std::string RealisticPage(size_t bytes, unsigned seed)
{
    static const std::vector<std::string> pieces = {
        LocalText("欢迎访问"), LocalText("手机"), LocalText("网站导航"), LocalText("，"), LocalText("。"),
        LocalText("　"), " ", " ", "\r\n", "\n", "www.example.com", "http://news.a-b.cn/x?id=12",
        "https://Shop.Example.NET/", "mail.163.com", "abc..def.org", "-x.top", "ftp://files.io",
        "version 1.2.3", "a = b", "<b>bold</b>", "<i>", "=", "....", "data.tar.gz", "www.", "x.y.z",
        LocalText("联系我们：service@corp.com.cn"), "\t", "2024-01-01", "A-Z", "README.md",
    };
    std::mt19937 random(seed);
    std::string page;
    while (page.size() < bytes)
        page += pieces[random() % pieces.size()];
    return page;
}

// ASCII runs of every length around the block sizes, two- and four-byte characters,
// four-byte codes outside any table, and broken or cut-off sequences.
std::string RandomMixedBytes(std::mt19937& random, size_t size)
{
    auto byte = [&](int low, int high) { return static_cast<char>(low + static_cast<int>(random() % (high - low + 1))); };
    std::string text;
    while (text.size() < size) {
        switch (random() % 6) {
        case 0:
        case 1:
            for (size_t k = random() % 40; k > 0; --k)
                text += byte(0, 0x7F);
            break;
        case 2:
            text += byte(0x81, 0xFE);
            text += random() % 2 ? byte(0x40, 0x7E) : byte(0x80, 0xFE);
            break;
        case 3:
            text += byte(0x81, 0xFE);
            text += byte('0', '9');
            text += byte(0x81, 0xFE);
            text += byte('0', '9');
            break;
        case 4:
            text += "\x80\xFF\x81\x7F\x82";
            text += byte('0', '9');
            break;
        default:
            text += LocalText("中文");
            break;
        }
    }
    if (random() % 2)
        text += '\x90'; // a lone lead byte at the very end
    return text;
}

TEST(RegexSubject, BlockDecodingAgreesWithCharacterDecoding)
{
    std::mt19937 random(11);
    // The large ones follow each other, so later ones decode into buffers kept from earlier ones.
    for (const size_t size : {size_t{0}, size_t{1}, size_t{15}, size_t{17}, size_t{300}, size_t{5000},
                              size_t{200000}, size_t{90000}, size_t{260000}}) {
        const std::string text = RandomMixedBytes(random, size);
        std::u32string expected;
        std::vector<size_t> offsets;
        for (size_t i = 0; i < text.size(); i += LocalUnitAt(text, i)) {
            offsets.push_back(i);
            expected += LocalToCodePoints(std::string_view(text).substr(i, LocalUnitAt(text, i)));
        }
        offsets.push_back(text.size());
        ASSERT_EQ(offsets.size(), expected.size() + 1) << size;

        const RegexSubject owned(text);
        const RegexSubject borrowed = RegexSubject::Borrowing(text);
        for (const RegexSubject* subject : {&owned, &borrowed}) {
            ASSERT_EQ(subject->CodePoints(), expected) << size;
            ASSERT_EQ(subject->Length(), expected.size());
            for (size_t k = 0; k < offsets.size(); ++k)
                ASSERT_EQ(subject->ByteOffset(k), offsets[k]) << size << " at " << k;
            EXPECT_EQ(subject->ByteOffset(offsets.size() + 5), text.size());
        }
    }

    // A short text lives inside its string object: a moved subject must cut from its own copy.
    std::string text = LocalText("短文本") + "ab";
    RegexSubject first(text);
    text.assign(text.size(), '#');
    RegexSubject moved(std::move(first));
    RegexSubject assigned;
    assigned = std::move(moved);
    EXPECT_EQ(Utf8Text(std::string(assigned.Slice(1, 4))), "文本a");
}

TEST(RegexEngine, BoundedSearchEqualsUnboundedOnRealisticText)
{
    const std::vector<std::string> patterns = {
        kAddressPattern, kCleanupPattern, "[\\s　]{0,10}=[\\s　]{0,10}", "<[^>]+>", "<b>[\\s\\S]*?</b>",
        "^.*$", "\\b\\w+\\b", "x*", "$", "^", "[\\u4e00-\\u9fa5]+", "(\\w+)\\.(com|cn)(\\.cn)?", "\\r\\n|\\n", "^\\w*$", "\\n^",
    };
    // Tiny first windows put boundaries everywhere; the largest still holds the longest line.
    const RegexEngine::Bounds tiny{4, 4096, 256, 20000};
    const std::u32string subject = RegexSubject(RealisticPage(60000, 7)).CodePoints();
    for (const auto& pattern : patterns) {
        const std::u32string code = LocalToCodePoints(LocalText(pattern));
        RegexEngine reference;
        ASSERT_TRUE(reference.Compile(code, true, true));
        reference.SetBounds(RegexEngine::kUnbounded);
        const std::vector<size_t> expected = AllSpans(reference, subject);
        for (const auto& bounds : {tiny, RegexEngine::kDefaultBounds}) {
            RegexEngine bounded;
            ASSERT_TRUE(bounded.Compile(code, true, true));
            bounded.SetBounds(bounds);
            EXPECT_EQ(AllSpans(bounded, subject), expected) << pattern << " window " << bounds.firstWindow;
        }
    }
}

TEST(RegexMatcher, RunawayInputStaysLinear)
{
    // A megabyte of letters and dots with no blank and no suffix, then one address.
    std::string run;
    std::mt19937 random(3);
    while (run.size() < (1u << 20))
        run += random() % 5 == 0 ? '.' : "abdefg"[random() % 6];
    RegexMatcher address;
    ASSERT_TRUE(address.Create(kAddressPattern));
    ASSERT_EQ(address.Execute(run + " www.example.com"), 1);
    EXPECT_EQ(address.MatchText(1), "www.example.com");

    // Lazy scans over 100,000 openings that never close.
    std::string openings;
    for (int i = 0; i < 100000; ++i)
        openings += "<script>x ";
    RegexMatcher script;
    ASSERT_TRUE(script.Create("<script[\\s\\S]*?>[\\s\\S]*?/script>"));
    EXPECT_EQ(script.Execute(openings), 0);
    EXPECT_EQ(script.Replace(openings), openings);

    // Nested quantifiers that backtrack exponentially.
    RegexMatcher nested;
    ASSERT_TRUE(nested.Create("(a+)+b"));
    EXPECT_EQ(nested.Execute(std::string(100000, 'a')), 0);
    ASSERT_TRUE(nested.Create("(a|aa)+$"));
    EXPECT_EQ(nested.Execute(std::string(100000, 'a') + "!"), 0);
}

} // namespace
} // namespace harvina
