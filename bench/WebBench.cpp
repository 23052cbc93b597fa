// Page fetches from a loopback server by 20 threads at once, and body decoding.
#include "platform/Charset.h"
#include "tests/support/GzipFixture.h"
#include "web/DecodeBody.h"
#include "web/WebClient.h"

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace harvina {
namespace {

constexpr int kFetchThreads = 20;
constexpr size_t kDecodeBytes = 1024 * 1024;
constexpr size_t kGzipPageBytes = 100 * 1024;

// Text of the given size with some variety, as pages have.
std::string PageText(size_t size, std::string_view words)
{
    std::string page = "<html><head><title>bench</title></head><body>";
    for (int i = 0; page.size() < size; ++i)
        page += "<p class=\"row\">" + std::string(words) + " " + std::to_string(i * 7919 % 10007) + "</p>\n";
    page.resize(size);
    return page;
}

class LoopbackSite {
public:
    LoopbackSite()
    {
        small_ = PageText(2 * 1024, "small page www.example.test");
        gzip_ = testing::GzipBytes(PageText(kGzipPageBytes, "compressed page www.example.test"));
        server_.Get("/small", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(small_, "text/html");
        });
        server_.Get("/gzip", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(gzip_, "text/html");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~LoopbackSite()
    {
        server_.stop();
        thread_.join();
    }
    std::string Url(std::string_view path) const { return "http://127.0.0.1:" + std::to_string(port_) + std::string(path); }

private:
    httplib::Server server_;
    std::string small_;
    std::string gzip_;
    int port_ = 0;
    std::thread thread_;
};

LoopbackSite& Site()
{
    static LoopbackSite site;
    return site;
}

void FetchPages(benchmark::State& state, std::string_view path)
{
    const std::string url = Site().Url(path);
    for (auto _ : state) {
        WebClient client;
        benchmark::DoNotOptimize(client.FetchWithWinHttp(url, 60.0));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_FetchSmallPages(benchmark::State& state)
{
    FetchPages(state, "/small");
}
BENCHMARK(BM_FetchSmallPages)->Threads(kFetchThreads)->UseRealTime();

void BM_FetchGzipPages(benchmark::State& state)
{
    FetchPages(state, "/gzip");
}
BENCHMARK(BM_FetchGzipPages)->Threads(kFetchThreads)->UseRealTime();

void BM_DecodeUtf8Page(benchmark::State& state)
{
    const std::string page = PageText(kDecodeBytes, "中文网页 文字 www.example.test");
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeBody(page, 0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_DecodeUtf8Page);

void BM_DecodeGzipGbkPage(benchmark::State& state)
{
    const std::string page = LocalText(PageText(kDecodeBytes, "简体中文 网页 www.example.test"));
    const std::string gz = testing::GzipBytes(page);
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeBody(gz, 0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_DecodeGzipGbkPage);

} // namespace
} // namespace harvina

BENCHMARK_MAIN();
