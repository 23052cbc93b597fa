// Regular-expression throughput on page-sized texts, and the decoding it needs.
#include "platform/Charset.h"
#include "platform/RegexSubject.h"
#include "text/RegexMatcher.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

using namespace harvina;

const char* const kAddressPattern =
    "([a-zA-z]+://|www.)[0-9a-bA-Z\\.\\-]+|[0-9a-bA-Z\\.\\-]+(\\.cn|\\.net|\\.org|\\.cc|\\.info|\\.name|\\.top|\\.ren|"
    "\\.xyz|\\.wang|\\.pw|\\.tw|\\.hk|\\.com)";
constexpr size_t kPageBytes = 1 << 20;

// Page text after cleaning: Chinese prose, blanks, line breaks, and many domain-like words.
const std::string& RealisticPage()
{
    static const std::string page = [] {
        const std::vector<std::string> pieces = {
            LocalText("欢迎访问本站，"), LocalText("最新手机报价与评测。"), LocalText("网站导航"), LocalText("　"),
            LocalText("联系电话：010-12345678"), " ", " ", "\r\n", "www.example.com", "http://news.a-b.cn/x?id=12",
            "https://shop.example.net/item", "mail.163.com", "bbs.forum.org", "v1.2.3", "Copyright 2024",
            "tieba.baidu.com", "img.cdn.xyz", LocalText("友情链接："), "ICP 12345678", LocalText("上一页 下一页"),
        };
        std::mt19937 random(11);
        std::string text;
        while (text.size() < kPageBytes)
            text += pieces[random() % pieces.size()];
        return text;
    }();
    return page;
}

void AddressPatternOnPage(benchmark::State& state)
{
    RegexMatcher matcher;
    matcher.Create(LocalText(kAddressPattern));
    const std::string& page = RealisticPage();
    int matches = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(matches = matcher.Execute(page));
    state.counters["matches"] = matches;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(AddressPatternOnPage)->Unit(benchmark::kMillisecond);

// The worst case for a backtracking engine: one run of letters and dots, no suffix.
void AddressPatternOnLongRun(benchmark::State& state)
{
    std::string run;
    std::mt19937 random(3);
    while (run.size() < kPageBytes)
        run += random() % 5 == 0 ? '.' : "abdefg"[random() % 6];
    RegexMatcher matcher;
    matcher.Create(kAddressPattern);
    for (auto _ : state)
        benchmark::DoNotOptimize(matcher.Execute(run));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * run.size()));
}
BENCHMARK(AddressPatternOnLongRun)->Unit(benchmark::kMillisecond);

void BlankRemovalReplace(benchmark::State& state)
{
    RegexMatcher matcher;
    matcher.Create(LocalText("[\\s　]{0,10}=[\\s　]{0,10}"));
    const std::string& page = RealisticPage();
    for (auto _ : state)
        benchmark::DoNotOptimize(matcher.Replace(page, "="));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BlankRemovalReplace)->Unit(benchmark::kMillisecond);

// Local text to code points for the engine: mixed page, all Chinese, all ASCII.
void DecodeForEngine(benchmark::State& state)
{
    std::string text;
    if (state.range(0) == 0)
        text = RealisticPage();
    else if (state.range(0) == 1)
        while (text.size() < kPageBytes)
            text += LocalText("中文网页内容测试");
    else
        text.assign(kPageBytes, 'a');
    for (auto _ : state) {
        RegexSubject subject(text);
        benchmark::DoNotOptimize(subject.Length());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(DecodeForEngine)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The general converter over iconv, for comparison.
void IconvToUtf8(benchmark::State& state)
{
    const std::string& page = RealisticPage();
    for (auto _ : state)
        benchmark::DoNotOptimize(Utf8Text(page));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(IconvToUtf8)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
