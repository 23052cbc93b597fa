#include "platform/Charset.h"
#include "text/MarkupReader.h"
#include "text/RegexMatcher.h"
#include "text/ReplaceEach.h"
#include "text/TextCleaner.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

namespace harvina {
namespace {

constexpr std::string_view kAddressPattern =
    R"re(([a-zA-z]+://|www.)[0-9a-bA-Z\.\-]+|[0-9a-bA-Z\.\-]+(\.cn|\.net|\.org|\.cc|\.info|\.name|\.top|\.ren|\.xyz|\.wang|\.pw|\.tw|\.hk|\.com))re";

struct Harvest {
    std::string text;
    std::vector<std::string> textMatches;
    std::vector<std::string> items;
    std::vector<std::string> hrefs;

    bool operator==(const Harvest&) const = default;
};

// What the page worker does with one fetched page.
Harvest HarvestPage(std::string_view fetched)
{
    const ReplaceOptions exact{.caseSensitive = true};
    const std::string page = ReplaceEach(ReplaceEach(fetched, "<", " <", exact), ">", "> ", exact);
    Harvest out;
    const TextCleaner cleaner;
    out.text = cleaner.HtmlToText(cleaner.RemoveNonContent(cleaner.RemoveComments(page, true), true), true);
    RegexMatcher addresses;
    addresses.Create(kAddressPattern);
    const int n = addresses.Execute(out.text);
    for (int k = 1; k <= n; ++k)
        out.textMatches.push_back(addresses.MatchText(k));
    MarkupReader links;
    links.FindAll(page, "a");
    for (int k = 1; k <= links.Count(); ++k) {
        out.items.push_back(links.Item(k));
        out.hrefs.push_back(links.Attribute(out.items.back(), "href"));
    }
    return out;
}

TEST(PageChain, HundredThousandUnclosedAnchors)
{
    constexpr int kTags = 100000;
    std::string page;
    for (int k = 0; k < kTags; ++k)
        page += "<a href=s" + std::to_string(k) + ".com>";
    const Harvest harvest = HarvestPage(page);
    ASSERT_EQ(harvest.hrefs.size(), size_t{kTags});
    EXPECT_EQ(harvest.items[0], "<a href=s0.com>");
    EXPECT_EQ(harvest.hrefs[kTags - 1], "s99999.com");
    EXPECT_TRUE(harvest.textMatches.empty());

    // Bare openings with no ">" anywhere after them.
    MarkupReader reader;
    std::string open;
    for (int k = 0; k < kTags; ++k)
        open += "<a x";
    EXPECT_EQ(reader.FindAll(open, "a"), 0);
}

TEST(PageChain, FiveMegabytePageWithHundredThousandLinks)
{
    constexpr int kLinks = 100000;
    const std::string filler = LocalText("中文网页内容，");
    const std::string linkText = LocalText("链接");
    std::string page = "<html><head><title>T</title><script>var a = b<c;</script></head><body>";
    for (int k = 0; k < kLinks; ++k) {
        const std::string n = std::to_string(k);
        page += "<!-- c" + n + " --><p>www.t" + n + ".cn ";
        for (int f = 0; f < 3; ++f)
            page += filler;
        page += "<a href=\"http://site" + n + ".com/p\">" + linkText + n + "</a></p>\r\n";
    }
    page += "</body></html>";
    ASSERT_GT(page.size(), size_t{5} << 20);
    const Harvest harvest = HarvestPage(page);
    ASSERT_EQ(harvest.hrefs.size(), size_t{kLinks});
    EXPECT_EQ(harvest.hrefs[12345], "http://site12345.com/p");
    EXPECT_EQ(harvest.items[7], "<a href=\"http://site7.com/p\"> " + linkText + "7 </a>");
    ASSERT_EQ(harvest.textMatches.size(), size_t{kLinks});
    EXPECT_EQ(harvest.textMatches[42], "www.t42.cn");
}

TEST(PageChain, DeeplyNestedAnchors)
{
    constexpr int kDepth = 3000;
    std::string page;
    for (int k = 0; k < kDepth; ++k)
        page += "<a>";
    page += "x";
    for (int k = 0; k < kDepth; ++k)
        page += "</a>";
    const Harvest harvest = HarvestPage(page);
    ASSERT_EQ(harvest.items.size(), size_t{kDepth});
    // Spacing put a blank on each side of every tag; the outermost ends at the last "</a>".
    EXPECT_EQ(harvest.items[0].size(), page.size() + 2 * 2 * kDepth - 2);
    EXPECT_EQ(harvest.items[kDepth - 1], "<a> x </a>");
    EXPECT_EQ(harvest.hrefs[0], "");

    // Nested openings that never close leave every element at its opening tag.
    MarkupReader reader;
    std::string unbalanced;
    for (int k = 0; k < kDepth; ++k)
        unbalanced += "<a>";
    unbalanced += "</a>";
    ASSERT_EQ(reader.FindAll(unbalanced, "a"), kDepth);
    EXPECT_EQ(reader.Item(1), "<a>");
    EXPECT_EQ(reader.Item(kDepth), "<a></a>");
}

// A page of random pieces: tags, links, entities, comments, scripts, addresses and Chinese text.
std::string RandomPage(std::mt19937& random, size_t size)
{
    const std::vector<std::string> pieces = {
        "<p>", "</p>", "<br>", "</a>", "&nbsp;", "&amp;lt;", "&#20013;", "&#x4e2d", " www.s", ".cn ", "<!-- c -->",
        "<script>if (a.width>3) x();</script>", "\r\n", "Width>", LocalText("中文内容，"), LocalText("链接"), "abc",
        "<a href=\"http://h", "<a class='l' href='//m", "<a href=/u", ".com/\">", "'>", ">", "<div class=\"i\">", "</div>",
    };
    std::string page;
    while (page.size() < size) {
        page += pieces[random() % pieces.size()];
        page += std::to_string(random() % 1000);
    }
    return page;
}

TEST(PageChain, BuffersKeptFromEarlierPagesLeaveNoTrace)
{
    // Large pages, so the thread keeps their buffers; a smaller page after a larger one
    // decodes into buffers still holding the larger one's bytes.
    std::mt19937 random(8);
    std::vector<std::string> pages;
    for (const size_t size : {size_t{600000}, size_t{150000}, size_t{400000}})
        pages.push_back(RandomPage(random, size));
    std::vector<Harvest> here;
    for (const std::string& page : pages)
        here.push_back(HarvestPage(page));
    for (size_t k = 0; k < pages.size(); ++k) {
        // A new thread starts with no buffers at all.
        Harvest fresh;
        std::thread([&] { fresh = HarvestPage(pages[k]); }).join();
        EXPECT_FALSE(fresh.hrefs.empty());
        EXPECT_TRUE(here[k] == fresh) << "page " << k;
    }
}

TEST(PageChain, InvalidBytesNulsAndLoneLeadBytes)
{
    using namespace std::string_literals;
    const TextCleaner cleaner;
    // Nothing to clean: every byte comes back, broken ones included.
    const std::string broken = "\x80\xFF\0a\x81 b\xFE"s;
    EXPECT_EQ(cleaner.RemoveComments(broken, true), broken);
    EXPECT_EQ(cleaner.HtmlToText(broken + "<b>c\x81", true), broken + "c\x81");

    const std::string page = "<p>\x80\xFF\0z\x81<a href=x.com>\xFE\xFF</a>www.y.cn\0\x81"s;
    const Harvest harvest = HarvestPage(page);
    ASSERT_EQ(harvest.hrefs.size(), size_t{1});
    EXPECT_EQ(harvest.hrefs[0], "x.com");
    ASSERT_EQ(harvest.textMatches.size(), size_t{1});
    EXPECT_EQ(harvest.textMatches[0], "www.y.cn");
    for (const std::string& tail : {"\x81"s, "\xFE"s, "\x81\x30"s, "\x81\x30\x81"s, "\0"s}) {
        MarkupReader reader;
        EXPECT_EQ(reader.FindAll("<a>t</a>" + tail, "a"), 1);
        EXPECT_EQ(reader.Attribute("<a href=u>" + tail, "href"), "u");
        EXPECT_EQ(cleaner.HtmlToText("<b>t</b>" + tail, true), "t" + tail);
    }
}

} // namespace
} // namespace harvina
