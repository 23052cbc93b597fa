#include "platform/Charset.h"
#include "text/MarkupReader.h"

#include <gtest/gtest.h>

#include <vector>

namespace harvina {
namespace {

std::vector<std::string> Items(MarkupReader& reader)
{
    std::vector<std::string> items;
    for (int k = 1; k <= reader.Count(); ++k)
        items.push_back(reader.Item(k));
    return items;
}

using Strings = std::vector<std::string>;

TEST(MarkupReader, FindAllByName)
{
    struct Case {
        const char* name;
        std::string page;
        std::string tags;
        Strings expected;
    };
    const std::vector<Case> cases = {
        {"longer names are not a, case kept", "<a href=x>1</a><abbr>2</abbr><A HREF=y>3</A>", "a",
         {"<a href=x>1</a>", "<A HREF=y>3</A>"}},
        {"upper-case name", "<a>1</a><A>2</A>", "A", {"<a>1</a>", "<A>2</A>"}},
        {"nested: outer first, to the last closing", "<a>1<a>2</a>3</a>", "a", {"<a>1<a>2</a>3</a>", "<a>2</a>"}},
        {"no closing tag: the opening tag alone", "<a href=x>text", "a", {"<a href=x>"}},
        {"self-closing", "<a href=x/>t</a>", "a", {"<a href=x/>"}},
        {"unclosed nested self-closing keeps the outer open", "<a>1<a href=y />2</a>", "a",
         {"<a>", "<a href=y />"}},
        {"opening without a later >", "<a href=x", "a", {}},
        {"names in the order given", "<img src=1><a>x</a><img src=2>", "a|img", {"<a>x</a>", "<img src=1>", "<img src=2>"}},
        {"name ended by other bytes", "<a:b>x</a:b><a-1>y<a/>", "a", {"<a:b>", "<a-1>", "<a/>"}},
        {"multibyte text inside", LocalText("<a>中文</a>"), "a", {LocalText("<a>中文</a>")}},
    };
    for (const auto& c : cases) {
        MarkupReader reader;
        EXPECT_EQ(reader.FindAll(c.page, c.tags), static_cast<int>(c.expected.size())) << c.name;
        EXPECT_EQ(Items(reader), c.expected) << c.name;
    }
}

TEST(MarkupReader, CaseSensitiveScanAndAnyTag)
{
    MarkupReader reader;
    EXPECT_EQ(reader.FindAll("<a>1</a><A>2</A>", "a", {.ignoreCase = false}), 1);
    EXPECT_EQ(reader.Item(1), "<a>1</a>");

    const std::string page = "<!-- c --><div class=x><p>t</p></div><br/>";
    EXPECT_EQ(reader.FindAll(page, ""), 4);
    EXPECT_EQ(Items(reader), (Strings{"<!-- c -->", "<div class=x><p>t</p></div>", "<p>t</p>", "<br/>"}));
    EXPECT_EQ(reader.FindAll(page, "", {.lettersOnly = true}), 3);
    EXPECT_EQ(reader.Item(1), "<div class=x><p>t</p></div>");
}

TEST(MarkupReader, ItemBoundsAndEqualsTidying)
{
    MarkupReader reader;
    ASSERT_EQ(reader.FindAll("<a href = 'x'  title\t=\r\n\"t\">1</a>", "a"), 1);
    EXPECT_EQ(reader.Item(0), "");
    EXPECT_EQ(reader.Item(2), "");
    EXPECT_EQ(reader.Item(-1), "");
    EXPECT_EQ(reader.Item(1), "<a href='x'  title=\"t\">1</a>");
    EXPECT_EQ(reader.Item(1, true), "<a href = 'x'  title\t=\r\n\"t\">1</a>");
    // At most ten blanks on each side go.
    const std::string elevenBlanks = std::string("a").append(11, ' ').append("=b");
    EXPECT_EQ(reader.NormalizeEquals(elevenBlanks), "a =b");
    EXPECT_EQ(reader.NormalizeEquals(LocalText("a　=　b")), "a=b");

    reader.Reset();
    EXPECT_EQ(reader.Count(), 1); // the spans stay, the document is gone
    EXPECT_EQ(reader.Item(1), "");
}

TEST(MarkupReader, FilterByAttributesAndKeywords)
{
    const std::string page = "<a class=\"nav\" id=1>1</a><a class='NAV main' id=2>2</a>"
                             "<a class=nav>3</a><a id=4>4</a><a data-x=y>5</a>";
    struct Case {
        const char* name;
        MarkupFilter filter;
        Strings expected; // the texts inside
    };
    const std::vector<Case> cases = {
        {"value in any quoting, case ignored", {.attributeNames = {"class"}, .attributeValues = {"nav"}}, {"1", "3"}},
        {"contains", {.attributeNames = {"class"}, .attributeValues = {"nav"}, .containsValues = true}, {"1", "2", "3"}},
        {"present at all", {.attributeNames = {"id"}}, {"1", "2", "4"}},
        {"any attribute", {.attributeNames = {"class", "id"}, .attributeValues = {"nav", "4"}}, {"1", "3", "4"}},
        {"all attributes", {.attributeNames = {"class", "id"}, .attributeValues = {"nav", ""}, .allAttributes = true},
         {"1"}},
        {"keywords, any one", {.keywords = "id=2|data-x"}, {"2", "5"}},
        {"keywords, all", {.keywords = "class|id", .allAttributes = true}, {"1", "2"}},
    };
    for (const auto& c : cases) {
        MarkupFilter filter = c.filter;
        filter.innerOnly = true;
        MarkupReader reader;
        reader.FindAll(page, "a", filter);
        EXPECT_EQ(Items(reader), c.expected) << c.name;
    }
}

TEST(MarkupReader, InnerOnlySpans)
{
    MarkupReader reader;
    EXPECT_EQ(reader.FindAll("<a href=x>t<b>u</b></a><a/><a>open", "a", {.innerOnly = true}), 3);
    EXPECT_EQ(Items(reader), (Strings{"t<b>u</b>", "", ""}));
}

TEST(MarkupReader, Attribute)
{
    const MarkupReader reader;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"<a href=\"u\">", "u"},
        {"<a href='u'>", "u"},
        {"<a href=u title=t>", "u"},
        {"<a href=u>", "u"},
        {"<a href=p.html>next page</a>", "p.html"},
        {"<a HREF=\"u\">", "u"},
        {"<a href=\"\" title=t>", ""},
        {"<a href='' title=t>", ""},
        {"<a data-href=\"d\">", "d"},
        {"<a title=t>", ""},
        {LocalText("<a href=\"　u \">"), "u"},
    };
    for (const auto& [element, expected] : cases)
        EXPECT_EQ(reader.Attribute(element, "href"), expected) << element;
}

TEST(MarkupReader, AttributeWriting)
{
    const MarkupReader reader;
    struct Case {
        std::string element, name, value, expected;
    };
    const std::vector<Case> cases = {
        {"<a href=\"old\">x</a>", "href", "new", "<a href=\"new\">x</a>"},
        // The prefix is written back as the caller spells the name.
        {"<a HREF='old'>x</a>", "href", "new", "<a href='new'>x</a>"},
        {"<a href=old>x</a>", "href", "new", "<a href=new>x</a>"},
        {"<a href=\"\">x</a>", "href", "new", "<a href=\"new\">x</a>"},
        {"<a>x</a>", "href", "new", "<a href=\"new\">x</a>"},
        {"<img src=a/>", "alt", "t", "<img src=a alt=\"t\"/>"},
    };
    for (const auto& c : cases) {
        const std::string element = c.element;
        EXPECT_EQ(reader.Attribute(element, c.name, c.value), c.expected) << c.element;
        EXPECT_EQ(element, c.element);
    }
}

TEST(MarkupReader, SingleElementScanKeepsTheRecordedDocument)
{
    MarkupReader reader;
    ASSERT_EQ(reader.FindAll("<a>1</a><a>2</a>", "a"), 2);
    const std::string other = "<div><b>x</b></div><b id = 2>y</b>";
    EXPECT_EQ(reader.Scan(other, "b", {}, 0), "<b>x</b>");
    EXPECT_EQ(reader.Scan(other, "b", {}, 2), "<b id=2>y</b>");
    EXPECT_EQ(reader.LastElement(), "<b id=2>y</b>");
    EXPECT_EQ(reader.Scan(other, "b", {}, 2, true), "<b id = 2>y</b>");
    EXPECT_EQ(reader.Scan(other, "div", {.innerOnly = true}, 0), "<b>x</b>");
    EXPECT_EQ(reader.Scan(other, "b", {}, 3), "");
    EXPECT_EQ(reader.Count(), 2);
    EXPECT_EQ(reader.Item(2), "<a>2</a>");
    EXPECT_EQ(reader.Scan("<a>1</a><a>2</a>", "a", {}, -1, false, true), "4");
}

TEST(MarkupReader, Query)
{
    const std::string page = "<a class=nav href=1>A</a><a class=other href=2>B</a><a class=\"nav\" href=3>C</a><b>D</b>";
    MarkupReader reader;
    struct Case {
        const char* name;
        std::string selector;
        MarkupQuery query;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"all matches of a bare value", "a class=nav", {.allMatches = true},
         "<a class=nav href=1>A</a>\r\n<a class=\"nav\" href=3>C</a>\r\n"},
        {"brackets ignored, quoted value", "<a class=\"nav\">", {.allMatches = true},
         "<a class=nav href=1>A</a>\r\n<a class=\"nav\" href=3>C</a>\r\n"},
        {"last from the end", "a class=nav", {.allMatches = true, .index = -1}, "<a class=\"nav\" href=3>C</a>\r\n"},
        {"second", "a", {.allMatches = true, .index = 2}, "<a class=other href=2>B</a>\r\n"},
        {"first only", "a class=nav", {}, "<a class=nav href=1>A</a>"},
        {"inner", "a class=other", {.innerOnly = true}, "B"},
        {"alternatives joined", "b| |a href=3", {}, "<b>D</b>\r\n<a class=\"nav\" href=3>C</a>"},
    };
    for (const auto& c : cases) {
        std::string document = page;
        EXPECT_EQ(reader.Query(document, c.selector, c.query), c.expected) << c.name;
        EXPECT_EQ(document, page) << c.name;
    }

    std::string document = page;
    EXPECT_EQ(reader.Query(document, "a class=nav", {.allMatches = true, .remove = true}),
              "<a class=other href=2>B</a><b>D</b>");
    EXPECT_EQ(document, "<a class=other href=2>B</a><b>D</b>");
    EXPECT_EQ(reader.Query(document, "b", {.remove = true}), "<a class=other href=2>B</a>");
}

} // namespace
} // namespace harvina
