// Throughput of the page worker's text and link passes on a generated 1 MB page.
#include "platform/Charset.h"
#include "text/MarkupReader.h"
#include "text/RegexMatcher.h"
#include "text/ReplaceEach.h"
#include "text/TextCleaner.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace harvina {
namespace {

constexpr std::string_view kAddressPattern =
    R"re(([a-zA-z]+://|www.)[0-9a-bA-Z\.\-]+|[0-9a-bA-Z\.\-]+(\.cn|\.net|\.org|\.cc|\.info|\.name|\.top|\.ren|\.xyz|\.wang|\.pw|\.tw|\.hk|\.com))re";
constexpr size_t kPageBytes = size_t{1} << 20;

// A portal-like page: head with styles and scripts, comments, Chinese paragraphs
// with entities and written addresses, and a link every ~190 bytes.
std::string GeneratePage()
{
    std::mt19937 random(2024);
    const std::string words[] = {LocalText("新闻"), LocalText("体育"), LocalText("财经"), LocalText("科技"),
                                 LocalText("娱乐"), LocalText("汽车"), LocalText("房产"), LocalText("教育"),
                                 LocalText("今日要闻，"), LocalText("详细内容。"), "&nbsp;", "&amp;", "&#20013;",
                                 "&ldquo;", "&rdquo;", "2024", "ABC"};
    auto phrase = [&](int n) {
        std::string out;
        for (int k = 0; k < n; ++k)
            out += words[random() % std::size(words)];
        return out;
    };
    std::string page = "<!DOCTYPE html>\r\n<html><head><meta charset=\"gbk\"><title>" + LocalText("门户首页") +
                       "</title>\r\n<style type=\"text/css\">body{margin:0}/* layout */.nav a{color:#333}</style>\r\n"
                       "<script>var w = el.width>3 ? 1 : 0; for (var i = 0; i < n; i++) { x(i); }</script>\r\n"
                       "</head><body>\r\n";
    int link = 0;
    while (page.size() < kPageBytes) {
        const int kind = static_cast<int>(random() % 10);
        const std::string n = std::to_string(link++);
        if (kind == 0)
            page += "<!-- block " + n + " -->\r\n";
        if (kind == 1)
            page += "<script type=\"text/javascript\">/* ad\r\n slot */ if (a.height<200) show(" + n + ");</script>\r\n";
        page += "<div class=\"item\"><p>" + phrase(4) + " www.site" + n + ".cn " + phrase(3) + "</p>";
        switch (kind % 3) {
        case 0: page += "<a href=\"http://www.host" + n + ".com/news/" + n + ".html\" target=\"_blank\">"; break;
        case 1: page += "<a class='l' href='https://m" + n + ".example.net/'>"; break;
        default: page += "<a href=/local/" + n + ".html>"; break;
        }
        if (kind == 5)
            page += "<img src=\"/i/" + n + ".png\" />";
        page += phrase(2) + "</a><br></div>\r\n";
    }
    page += "</body></html>\r\n";
    return page;
}

const std::string& Page()
{
    static const std::string page = GeneratePage();
    return page;
}

std::string Spaced(std::string_view page)
{
    const ReplaceOptions exact{.caseSensitive = true};
    return ReplaceEach(ReplaceEach(page, "<", " <", exact), ">", "> ", exact);
}

struct Stages {
    std::string spaced, noComments, content, text;
};

const Stages& Inputs()
{
    static const Stages stages = [] {
        const TextCleaner cleaner;
        Stages s;
        s.spaced = Spaced(Page());
        s.noComments = cleaner.RemoveComments(s.spaced, true);
        s.content = cleaner.RemoveNonContent(s.noComments, true);
        s.text = cleaner.HtmlToText(s.content, true);
        return s;
    }();
    return stages;
}

size_t LinkPass(std::string_view page)
{
    MarkupReader reader;
    reader.FindAll(page, "a");
    size_t bytes = 0;
    for (int k = 1; k <= reader.Count(); ++k)
        bytes += reader.Attribute(reader.Item(k), "href").size();
    return bytes;
}

void Report(benchmark::State& state, size_t bytes)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_Spacing(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Spaced(Page()));
    Report(state, Page().size());
}

void BM_RemoveComments(benchmark::State& state)
{
    const TextCleaner cleaner;
    for (auto _ : state)
        benchmark::DoNotOptimize(cleaner.RemoveComments(Inputs().spaced, true));
    Report(state, Inputs().spaced.size());
}

void BM_RemoveNonContent(benchmark::State& state)
{
    const TextCleaner cleaner;
    for (auto _ : state)
        benchmark::DoNotOptimize(cleaner.RemoveNonContent(Inputs().noComments, true));
    Report(state, Inputs().noComments.size());
}

void BM_HtmlToText(benchmark::State& state)
{
    const TextCleaner cleaner;
    for (auto _ : state)
        benchmark::DoNotOptimize(cleaner.HtmlToText(Inputs().content, true));
    Report(state, Inputs().content.size());
}

void BM_AddressPattern(benchmark::State& state)
{
    RegexMatcher matcher;
    matcher.Create(kAddressPattern);
    int matches = 0;
    for (auto _ : state) {
        matches = matcher.Execute(Inputs().text);
        for (int k = 1; k <= matches; ++k)
            benchmark::DoNotOptimize(matcher.MatchText(k));
    }
    state.counters["matches"] = matches;
    Report(state, Inputs().text.size());
}

void BM_LinkPass(benchmark::State& state)
{
    MarkupReader reader;
    state.counters["links"] = reader.FindAll(Inputs().spaced, "a");
    for (auto _ : state)
        benchmark::DoNotOptimize(LinkPass(Inputs().spaced));
    Report(state, Inputs().spaced.size());
}

// Everything the page worker does with the fetched page, spacing included.
void BM_WholeChain(benchmark::State& state)
{
    for (auto _ : state) {
        const TextCleaner cleaner;
        const std::string spaced = Spaced(Page());
        const std::string text =
            cleaner.HtmlToText(cleaner.RemoveNonContent(cleaner.RemoveComments(spaced, true), true), true);
        RegexMatcher matcher;
        matcher.Create(kAddressPattern);
        const int n = matcher.Execute(text);
        for (int k = 1; k <= n; ++k)
            benchmark::DoNotOptimize(matcher.MatchText(k));
        benchmark::DoNotOptimize(LinkPass(spaced));
    }
    Report(state, Page().size());
}

BENCHMARK(BM_Spacing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveComments)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveNonContent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HtmlToText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddressPattern)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinkPass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeChain)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace harvina

BENCHMARK_MAIN();
