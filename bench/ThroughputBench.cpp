// Whole jobs through harvina-cli against a loopback site whose every page
// answers after a set delay: pages per second against the ideal
// threads / delay, and the peak memory of the job's process.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/DelayedPageServer.h"

namespace {

constexpr auto kPageDelay = std::chrono::milliseconds(50);
const std::string kCli = HARVINA_CLI_PATH;

// A page shaped like a news portal's front page: head with scripts and
// styles, comments, paragraphs of Chinese text with addresses, and links.
std::string RealisticPage(std::size_t targetBytes, int seed)
{
    std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>新闻门户 第 " +
                       std::to_string(seed) + " 页</title>\n"
                       "<style>body{font:14px sans-serif}.nav a{color:#333;margin:0 4px}</style>\n"
                       "<script>var cfg={api:'https://api.example.com/v2',cdn:'//static.example.net'};</script>\n"
                       "</head><body><div class=\"nav\">\n";
    for (int i = 0; page.size() < targetBytes; ++i) {
        const int n = (seed * 131 + i * 7) % 5000;
        page += "<!-- 栏目 " + std::to_string(i) + " -->\n<div class=\"item\"><h3><a href=\"http://news" +
                std::to_string(n) + ".example.com/2024/0" + std::to_string(i % 9 + 1) +
                "/story.html\" target=\"_blank\">今日要闻第" + std::to_string(i) + "条</a></h3>\n<p>记者从 www.site" +
                std::to_string(n % 700) +
                ".example.cn 获悉，本地市场今日表现平稳，多家机构发布报告，详情请见相关页面。"
                "交通、天气与生活服务信息持续更新，欢迎关注。</p>\n"
                "<a href=\"/channel/" + std::to_string(i) + ".html\"><img src=\"/img/" + std::to_string(i) +
                ".jpg\" alt=\"图片\"></a>\n"
                "<script>track('item'," + std::to_string(i) + ");</script></div>\n";
    }
    page += "</div></body></html>\n";
    return page;
}

constexpr int kPageVariants = 16;
// More than the most pages a job has in flight at once.
constexpr int kServerThreads = 48;

std::vector<std::string> PageVariants(std::size_t pageBytes)
{
    std::vector<std::string> pages;
    for (int i = 0; i < kPageVariants; ++i)
        pages.push_back(RealisticPage(pageBytes, i));
    return pages;
}

struct JobRun {
    double seconds = 0;
    long maxRssKb = 0;
    double cpuSeconds = 0; // user + system of the job's process
    int exitCode = -1;
};

JobRun RunCli(const std::vector<std::string>& arguments)
{
    std::vector<std::string> text {kCli};
    text.insert(text.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : text)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execv(kCli.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    JobRun run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.maxRssKb = usage.ru_maxrss;
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// args: threads, pages, page bytes, text pass on (1) or off (0), addresses
// in a list file (1) or as the input lines themselves (0)
void WholeJob(benchmark::State& state)
{
    const int threads = static_cast<int>(state.range(0));
    const int pages = static_cast<int>(state.range(1));
    const auto pageBytes = static_cast<std::size_t>(state.range(2));
    const bool textPass = state.range(3) != 0;
    const bool listFile = state.range(4) != 0;
    const DelayedPageServer site(PageVariants(pageBytes), kPageDelay, kServerThreads);
    const auto folder = std::filesystem::temp_directory_path() / ("harvina-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    {
        std::ofstream list(folder / "list.txt", std::ios::binary);
        for (int i = 0; i < pages; ++i)
            list << "http://127.0.0.1:" << site.Port() << "/page/" << i << "\r\n";
    }
    JobRun run;
    for (auto _ : state) {
        std::vector<std::string> arguments {"-q", "-t", std::to_string(threads), "-o", (folder / "out").string()};
        if (listFile) {
            arguments.push_back((folder / "list.txt").string());
        } else {
            arguments.push_back("-i");
            arguments.push_back((folder / "list.txt").string());
        }
        if (!textPass)
            arguments.push_back("--no-text");
        run = RunCli(arguments);
        state.SetIterationTime(run.seconds);
    }
    std::filesystem::remove_all(folder);
    if (run.exitCode != 0)
        state.SkipWithError("harvina-cli failed");
    const double pagesPerSecond = pages / run.seconds;
    const double ideal = threads / std::chrono::duration<double>(kPageDelay).count();
    state.counters["pages_per_s"] = pagesPerSecond;
    state.counters["ratio_to_ideal"] = pagesPerSecond / ideal;
    state.counters["max_rss_MB"] = static_cast<double>(run.maxRssKb) / 1024.0;
    state.counters["cpu_ms_per_page"] = run.cpuSeconds * 1000.0 / pages;
}

constexpr long kKB = 1024;
BENCHMARK(WholeJob)
    ->ArgNames({"threads", "pages", "page_bytes", "text_pass", "list_file"})
    ->Args({20, 2000, 100 * kKB, 1, 1})
    ->Args({6, 600, 100 * kKB, 1, 1})
    ->Args({1, 100, 100 * kKB, 1, 1})
    ->Args({6, 30, 10 * kKB * kKB, 1, 1})
    // Where the time goes: without the text pass; without the list file,
    // whose lines workers read under the job lock.
    ->Args({20, 2000, 100 * kKB, 0, 1})
    ->Args({20, 2000, 100 * kKB, 1, 0})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
