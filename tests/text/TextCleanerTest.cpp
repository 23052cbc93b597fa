#include "platform/Charset.h"
#include "text/DecodeEntities.h"
#include "text/LeftChars.h"
#include "text/RegexMatcher.h"
#include "text/ReplaceEach.h"
#include "text/TagMask.h"
#include "text/TextCleaner.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

namespace harvina {
namespace {

// Cases are written in UTF-8 and run in local text.
std::string L(std::string_view utf8) { return LocalText(utf8); }

using Operation = std::function<std::string(std::string_view)>;

struct CleanCase {
    const char* name;
    Operation run;
    std::string input;    // UTF-8
    std::string expected; // UTF-8
};

void RunCases(const std::vector<CleanCase>& cases)
{
    for (const auto& c : cases)
        EXPECT_EQ(Utf8Text(c.run(L(c.input))), c.expected) << c.name;
}

const TextCleaner kCleaner;

Operation Applied(std::string (TextCleaner::*op)(std::string_view, bool) const)
{
    return [op](std::string_view text) { return (kCleaner.*op)(text, true); };
}

TEST(TextCleaner, RemovesCommentsWithinOneLineAndBlockCommentsAcrossLines)
{
    const Operation run = Applied(&TextCleaner::RemoveComments);
    RunCases({
        {"one-line comment", run, "a<!-- x -->b", "ab"},
        {"comment over a line break stays", run, "a<!-- x\r\ny -->b", "a<!-- x\r\ny -->b"},
        {"block comment over lines", run, "a/* x\r\n y */b", "ab"},
        {"shortest comment each", run, "1<!--a-->2<!--b-->3", "123"},
        {"nothing to clean", run, "中文 text", "中文 text"},
    });
}

TEST(TextCleaner, ApplyClearReturnsThePatternAndLeavesTheText)
{
    const std::string text = "a<!-- x -->b";
    EXPECT_EQ(kCleaner.RemoveComments(text, false), "<!--[^\\r\\n]*?-->|/\\*[\\s\\S]*?\\*/");
    EXPECT_EQ(text, "a<!-- x -->b");
    // The stored pattern's "''" pairs are double quotes by the time it is used.
    EXPECT_EQ(Utf8Text(kCleaner.JoinLines(text, false)),
              "^[　 \"\\t]+$(\\r\\n)|^[ 　\"\\t]+|[ 　\"\\t]+$|\\r|\\n|\\t");
    EXPECT_EQ(kCleaner.HtmlToText(text, false), "<[\\s\\S]+?>");
    EXPECT_EQ(kCleaner.HtmlToText(text, false, {.removeLinks = true}), "<a[\\s\\S]+?>[\\s\\S]+?/a>|<[\\s\\S]+?>");
}

TEST(TextCleaner, RemovesNonContentElements)
{
    const Operation run = Applied(&TextCleaner::RemoveNonContent);
    RunCases({
        {"script with content", run, "a<script type=x>if(a<b)x();</script>b", "ab"},
        {"head with its title", run, "<html><head><title>T</title></head><body>x", "<html><body>x"},
        {"textarea keeps its text", run, "<textarea rows=2>keep</textarea>", "keep"},
        {"input tag", run, "a<input type=text value=v>b", "ab"},
        {"style, select, button, object", run,
         "1<style>p{}</style>2<select><option>o</select>3<button>b</button>4<object>o</object>5", "12345"},
        {"case ignored", run, "a<SCRIPT>x</Script>b", "ab"},
    });
}

TEST(TextCleaner, HtmlToTextBreaksLinesDropsTagsAndDecodes)
{
    const Operation run = [](std::string_view text) { return kCleaner.HtmlToText(text, true); };
    RunCases({
        {"break tag", run, "a<br>b", "a\r\nb"},
        {"paragraph", run, "<p>x</p>", "\r\nx\r\n"},
        {"all break forms, any case", run, "a<BR>b</br>c</ br>d<br />e", "a\r\nb\r\nc\r\nd\r\ne"},
        {"script comparison is no tag", run, "if (a.width>3) x", "if (a.Width＞3) x"},
        {"comparison inside would-be tag", run, "x<b>y</b> h.height<2 <i>z", "xy h.Height＜2 z"},
        {"tags across lines", run, "a<div\r\nclass=x>b", "ab"},
        {"entities decoded after tags", run, "x &lt;b&gt; &amp;lt; &#20013;", "x <b> < 中"},
    });
}

TEST(TextCleaner, HtmlToTextOptions)
{
    auto with = [](HtmlToTextOptions options) {
        return [options](std::string_view text) { return kCleaner.HtmlToText(text, true, options); };
    };
    RunCases({
        {"remove links", with({.removeLinks = true}), "x<a href=1>link</a>y<b>z</b>", "xyz"},
        {"links kept by default", with({}), "x<a href=1>link</a>y", "xlinky"},
        {"keep breaks", with({.keepBreaks = true}), "a<br>b", "ab"},
        {"keep angle brackets", with({.keepAngleBrackets = true}), "if (a.width>3) x", "if (a.width>3) x"},
        {"keep entities", with({.keepEntities = true}), "<b>&lt;</b>", "&lt;"},
    });
}

TEST(TextCleaner, HtmlToTextMatchesItsReplacementsAppliedItemByItem)
{
    // The one-pass break and comparison steps must give what the item lists give.
    const std::string greater = L("Width＞|Height＞|Width＜|Height＜");
    const std::vector<std::string> pieces = {"<p", "<P>", "</p>", "<BR>", "</ br>", "</br>", "<br />", "<pre>",
                                             "width", "HEIGHT", ">", "<", "x", " ", "\x81", "\x81\x30", L("中")};
    std::mt19937 random(11);
    RegexMatcher tags;
    tags.Create("<[\\s\\S]+?>");
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int count = 1 + static_cast<int>(random() % 10);
        for (int k = 0; k < count; ++k)
            text += pieces[random() % pieces.size()];
        std::string expected = ReplaceEach(text, "<p|</p>|<br>|</ br>|</br>|<br />",
                                           "\r\n<p|\r\n</p>|\r\n<br>|\r\n</ br>|\r\n</br>|\r\n<br />");
        expected = ReplaceEach(expected, "Width>|Height>|Width<|Height<", greater);
        EXPECT_EQ(kCleaner.HtmlToText(text, true, {.keepEntities = true}), tags.Replace(expected)) << text;
    }
}

TEST(TextCleaner, LineAndCharacterOperations)
{
    RunCases({
        {"paragraphs spaced, blank lines gone", Applied(&TextCleaner::NormalizeParagraphs), "a\n \t　\nb\rc",
         "a\r\n\r\nb\r\n\r\nc"},
        {"urls", Applied(&TextCleaner::RemoveUrls), "see http://x.com/a?b=1 or www.y.cn/中文 end",
         "see  or 中文 end"},
        {"word chars", Applied(&TextCleaner::KeepWordChars), "a b-c,d.e!?", "ab-c,d.e"},
        {"hanzi and alnum", Applied(&TextCleaner::KeepHanziAndAlnum), "中a 1!，", "中a1"},
        {"unwrap links", Applied(&TextCleaner::UnwrapLinks), "<a href=x>t</a><b>", "t<b>"},
        {"whitespace", Applied(&TextCleaner::RemoveWhitespace), "a b\t　c\r\nd", "abcd"},
        {"trim lines", Applied(&TextCleaner::TrimLines), "  a  \r\n \t \r\n　b", "a\r\nb"},
        {"join lines", Applied(&TextCleaner::JoinLines), " \"a\" \r\n\"\"\r\n b\t", "ab"},
        {"remove links", Applied(&TextCleaner::RemoveLinks), "x<a href=1>t</a>y", "xy"},
    });
}

TEST(TextCleaner, StripTitleSuffixCutsAtTheFirstSeparator)
{
    const Operation run = [](std::string_view text) { return kCleaner.StripTitleSuffix(text); };
    RunCases({
        {"hyphen", run, "Title - Site", "Title "},
        {"underscore, first wins", run, "新闻_频道-网站", "新闻"},
        {"em dash", run, "标题—网站", "标题"},
        {"nothing before the separator", run, "-x", "-x"},
        {"nothing after it", run, "x-", "x-"},
        {"each line on its own", run, "a-b\r\nc", "a\r\nc"},
    });
}

TEST(TextCleaner, ConvertPunctuationToFullWidthLeavesTagsAndNumbers)
{
    auto full = [](std::string_view text) { return kCleaner.ConvertPunctuation(text, true); };
    RunCases({
        {"full stop takes its space", full, "Hi, you.", "Hi， you。"},
        {"decimal points stay", full, "pi is 3.14 or 3．14!", "pi is 3.14 or 3.14！"},
        {"tags untouched", full, "<a href='x.html'>Hi, you.</a>", "<a href='x.html'>Hi， you。</a>"},
        {"double quotes", full, "say \"hello\" now", "say “hello” now"},
        {"single quotes", full, "say 'hi'", "say ‘hi’"},
        {"extra items", [](std::string_view t) { return kCleaner.ConvertPunctuation(t, true, "(|)", L("（|）")); },
         "f(x)", "f（x）"},
    });
    RunCases({
        {"back to half-width", [](std::string_view t) { return kCleaner.ConvertPunctuation(t, false); },
         "你好，世界。“引”‘号’？！；：", "你好,世界.\"引\"'号'?!;:"},
    });
}

TEST(TagMask, MasksInnermostTagsAndRestoresThem)
{
    TagMask mask;
    const std::string placeholder(10, '\xFF');
    EXPECT_EQ(mask.Mask("a<b>c<d>e"), "a" + placeholder + "c" + placeholder + "e");
    EXPECT_EQ(mask.Restore(mask.Mask("a<b>c<d>e")), "a<b>c<d>e");
    // An outer ">" without its own "<" stays a character.
    EXPECT_EQ(mask.Mask("a<b>c>d", "#"), "a#c>d");
    EXPECT_EQ(mask.Restore("a#c>d"), "a<b>c>d");
    EXPECT_EQ(mask.Mask("1 > 2 <i>z</i>", "#"), "1 > 2 #z#");
    // Placeholders beyond the listed tags stay; the last ones take the tags.
    EXPECT_EQ(mask.Mask("<x>", "#"), "#");
    EXPECT_EQ(mask.Restore("#-#"), "#-<x>");
    // A keep-list mask leaves the earlier tags listed.
    EXPECT_EQ(mask.Mask("<y>", "#", true), "#");
    EXPECT_EQ(mask.Restore("#"), "<x>");
}

TEST(TagMask, LongRunsOfBracketsStayLinear)
{
    std::string text = "<";
    for (int i = 0; i < 200000; ++i)
        text += "x>";
    TagMask mask;
    const std::string masked = mask.Mask(text, "#");
    EXPECT_EQ(masked.substr(0, 2), "#x");
    EXPECT_EQ(mask.Restore(masked), text);
}

struct ReplaceCase {
    const char* name;
    std::string text, sources, targets;
    ReplaceOptions options;
    std::string expected;
};

TEST(ReplaceEach, ItemByItem)
{
    const std::vector<ReplaceCase> cases = {
        {"case ignored by default", "aAa", "a", "b", {}, "bbb"},
        {"case sensitive", "aAa", "a", "b", {.caseSensitive = true}, "bAb"},
        {"count limits each item", "aAa", "a", "b", {.count = 2}, "bba"},
        {"targets padded with empty items", "abc", "a|b|c", "x", {}, "x"},
        {"fill from first", "abc", "a|b|c", "x", {.fillFromFirst = true}, "xxx"},
        {"extra targets cut", "ab", "a", "1|2|3", {}, "1b"},
        {"each item sees the results before it", "ab", "a|b", "b|c", {}, "cc"},
        {"empty source item replaces nothing", "a|b", "||a", "x|y|z", {}, "z|b"},
        {"own separator", "a|b,c", "|,,", "-", {.separator = ","}, "a-b,c"},
        {"target holding the source is not rescanned", "<p><p>", "<p", "\r\n<p", {}, "\r\n<p>\r\n<p>"},
        {"no match inside a double-byte character", "\x81" "aa", "a", "b", {}, "\x81" "ab"},
        {"no match in a four-byte character", "\x81\x30\x81\x30" "0", "0", "z", {}, "\x81\x30\x81\x30" "z"},
        {"lone lead byte at the end", "a\x81", "a", "b", {}, "b\x81"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceEach(c.text, c.sources, c.targets, c.options), c.expected) << c.name;
}

TEST(ReplaceEach, BlockReplacementOfALoneByteAgreesWithSearching)
{
    // Every occurrence of a byte that never lies inside a character is replaced a block
    // at a time; a count that is never reached takes the searching path instead.
    const char alphabet[] = {'<', '>', 'a', ' ', '\x81', '\xFE', '0'};
    const std::string targets[] = {"", "x", " <", "0123456789abcdef", "0123456789abcdefg"};
    std::mt19937 random(13);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        // Some texts long enough for the counting to carry its tallies over many blocks.
        for (size_t k = random() % (round % 10 == 0 ? 12000 : 80); k > 0; --k)
            text += alphabet[random() % std::size(alphabet)];
        const std::string source(1, random() % 2 ? '<' : '>');
        const std::string& target = targets[random() % std::size(targets)];
        EXPECT_EQ(ReplaceEach(text, source, target, {.caseSensitive = true}),
                  ReplaceEach(text, source, target, {.caseSensitive = true, .count = 1 << 30}))
            << round;
    }
    // A byte in every lane of every block.
    const std::string run(5000, '<');
    EXPECT_EQ(ReplaceEach(run, "<", "ab", {.caseSensitive = true}).size(), 10000u);
}

TEST(ReplaceEach, NormalizeLineBreaks)
{
    EXPECT_EQ(NormalizeLineBreaks("a\rb\nc\r\nd"), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(NormalizeLineBreaks("\n\r\r\n"), "\r\n\r\n\r\n");
    EXPECT_EQ(NormalizeLineBreaks("x[#rn#]y[#RN#]"), "x\r\ny[#RN#]");
    // A "[" that is a trail byte starts no placeholder.
    EXPECT_EQ(NormalizeLineBreaks("\x81[#rn#]"), "\x81[#rn#]");
}

TEST(DecodeEntities, NamedAndNumericReferences)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"&#20013;", "中"},
        {"&#x4E2D;|&#X4e2d;", "中|中"},
        {"a&nbsp;b", "a b"},
        {"&amp;lt;", "<"},
        {"&amp;amp;lt;", "&amp;lt;"}, // "&amp;" is replaced once, not again
        {"&AMP;&Lt;&QUOT;", "&<\""},
        {"&Prime;&prime;", "′′"}, // case ignored: the earlier table item takes both
        {"&hellip;&sim;&there4;&perp;", "…～∴⊥"},
        {"&#20013", "&#20013"},
        {"x&#0;y", "xy"},
        {"&#;", ""},
        {"&#65&#59;", "A"}, // the right reference's ";" ends the left one
        {"&#65&#66", "&#65&#66"},
        {"&#x1F600;", "😀"},
        {"&#xD800;", "?"},
        {"&unknown; & ;", "&unknown; & ;"},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(Utf8Text(DecodeEntities(L(input))), expected) << input;
    EXPECT_EQ(DecodeEntities("&lt;&#65;", true), "<&#65;");
}

TEST(DecodeEntities, NamedPassMatchesTheTableAppliedItemByItem)
{
    // The single pass must give what forty whole-text replacements in table order give.
    const std::string sources =
        "&amp;|&ndash;|&mdash;|&ldquo;|&rdquo;|&nbsp;|&lt;|&gt;|&quot;|&times;|&divide;|&middot;|"
        "&hellip;|&lsquo;|&rsquo;|&permil;|&prime;|&Prime;|&larr;|&uarr;|"
        "&rarr;|&darr;|&radic;|&prop;|&infin;|&ang;|&and;|&or;|&cap;|&cup;|&int;|&there4;|"
        "&sim;|&asymp;|&ne;|&equiv;|&le;|&ge;|&oplus;|&perp;";
    const std::string targets = L("&|–|—|“|”| |<|>|\"|×|÷|·|…|‘|’|‰|′|″|←|↑|"
                                  "→|↓|√|∝|∞|∠|∧|∨|∩|∪|∫|∴|～|≈|≠|≡|≤|≥|⊕|⊥");
    const std::vector<std::string> pieces = {"&", "amp;", "AMP;", "lt;", "Prime;", "gt", ";", "x", L("中"),
                                             "&amp;", "nbsp;", "#", "&quot;", "le;", "perp;"};
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int count = 1 + static_cast<int>(random() % 8);
        for (int k = 0; k < count; ++k)
            text += pieces[random() % pieces.size()];
        EXPECT_EQ(DecodeEntities(text, true), ReplaceEach(text, sources, targets)) << text;
    }
}

TEST(DecodeEntities, HexValueAndCodeUnits)
{
    EXPECT_EQ(HexValue("4E2D"), 0x4E2D);
    EXPECT_EQ(HexValue("4e2d"), 0x4E2D);
    EXPECT_EQ(HexValue(""), 0);
    EXPECT_EQ(HexValue("G"), -2);
    EXPECT_EQ(HexValue("1G"), 14);
    EXPECT_EQ(HexValue("FFFFFFFFF"), -1); // wraps at 32 bits instead of overflowing

    EXPECT_EQ(CodeUnitToText(0), "");
    EXPECT_EQ(CodeUnitToText(0x41), "A");
    EXPECT_EQ(Utf8Text(CodeUnitToText(0x4E2D)), "中");
    EXPECT_EQ(CodeUnitToText(0x00410042), "BA"); // low unit first, then the high one
    EXPECT_EQ(CodeUnitToText(0x00420000), "");   // ends at the first NUL
    EXPECT_EQ(Utf8Text(CodeUnitToText(0x1F600)), "😀");
}

TEST(LeftChars, CountsDoubleByteCharactersAndLineBreaksAsOne)
{
    const std::string text = L("中a\r\nb");
    EXPECT_EQ(CharCount(text), 4);
    EXPECT_EQ(CharCount(""), 0);
    const std::vector<std::pair<int, std::string>> cases = {
        {2, "中a"}, {-1, "中a\r\n"}, {-4, ""}, {-9, ""}, {0, ""}, {1, "中"}, {10, "中a\r\nb"},
    };
    for (const auto& [n, expected] : cases)
        EXPECT_EQ(Utf8Text(LeftChars(text, n)), expected) << n;
}

} // namespace
} // namespace harvina
