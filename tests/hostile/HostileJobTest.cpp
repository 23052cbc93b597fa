// The whole product against a server that stalls, lies, floods and misdirects:
// harvina-cli runs as a child process over a mix of hostile and good addresses.
#include <gtest/gtest.h>

#include <iterator>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>

#include "tests/hostile/CliRun.h"
#include "tests/engine/TempFolder.h"
#include "tests/hostile/HostileServer.h"
#include "tests/hostile/LoopbackOnlyNetwork.h"
#include "tests/hostile/TrapListener.h"

namespace harvina::testing {
namespace {

using namespace std::chrono_literals;

constexpr int kThreads = 20;
constexpr int kGoodPages = 200;
constexpr int kHostilePages = 200;
constexpr int kForeverStalls = 12; // each holds a worker for the whole fetch limit
constexpr int kBigBodies = 4;      // each fills the 64 MiB cap
constexpr auto kFetchLimit = 60s;
// Beyond the stalls: the brief stalls, the slow pages and parsing the capped bodies
// one at a time (several seconds each under the sanitizers), on a shared machine.
constexpr auto kSlack = 90s;
constexpr auto kRunLimit = 300s;
// Each capped page in flight holds up to 64 MiB of body, 64 MiB inflated and its
// spaced copy while it waits for the lock; the parse of one such page needs about
// 1.2 GiB more (the regular expressions see 32-bit code units). Sanitizer builds
// need more again.
constexpr long kMaxRssKiB = 3L * 1024 * 1024;


// The hostile half: the stalls first, so that they run out together while the
// other workers go through the rest; a few capped bodies spread apart; the cheap
// kinds in turn for the rest.
std::vector<HostileKind> HostileMix()
{
    const HostileKind forever[] = {HostileKind::StallHead, HostileKind::StallBody, HostileKind::DripForever,
                                   HostileKind::SlowPage, HostileKind::EndlessInterim};
    const HostileKind big[] = {HostileKind::EndlessBody, HostileKind::GzipBomb};
    const HostileKind cheap[] = {
        HostileKind::BriefStallHead, HostileKind::BriefStallBody, HostileKind::SlowSmall,     HostileKind::Reset,
        HostileKind::ResetMidBody,   HostileKind::RedirectLoop,   HostileKind::RedirectFile,  HostileKind::RedirectFtp,
        HostileKind::RedirectGopher, HostileKind::BrokenChunked,  HostileKind::ShortChunked,  HostileKind::HugeHeader,
        HostileKind::EndlessHeaders, HostileKind::BadLength,      HostileKind::HugeChunkSize, HostileKind::NulBytes,
        HostileKind::BadGb18030,     HostileKind::BadUtf8,        HostileKind::LieUtf8Header, HostileKind::LieBig5Meta,
        HostileKind::LieUtf16,
    };
    std::vector<HostileKind> mix;
    const int rest = kHostilePages - kForeverStalls;
    const int bigEvery = rest / kBigBodies;
    int bigUsed = 0;
    int cheapUsed = 0;
    for (int i = 0; i < kHostilePages; ++i) {
        const int after = i - kForeverStalls;
        if (i < kForeverStalls)
            mix.push_back(forever[static_cast<size_t>(i) % std::size(forever)]);
        else if (after % bigEvery == bigEvery / 2 && bigUsed < kBigBodies)
            mix.push_back(big[static_cast<size_t>(bigUsed++) % std::size(big)]);
        else
            mix.push_back(cheap[static_cast<size_t>(cheapUsed++) % std::size(cheap)]);
    }
    return mix;
}

std::string JoinLines(const std::vector<HostileAddress>& addresses)
{
    std::string text;
    for (const HostileAddress& address : addresses)
        text += address.url + "\n";
    return text;
}

// One job over the whole mix; `extraArguments` choose the fetch path.
// `settleLimit`: how long threads other than the main one may outlive the message.
void RunHostileJob(const std::vector<std::string>& extraArguments, std::chrono::milliseconds settleLimit)
{
    // Once per process, before the first server thread starts.
    static const bool isolated = [] {
        std::string why;
        const bool entered = EnterLoopbackOnlyNetwork(why);
        if (!entered)
            std::cout << "note: no private network namespace (" << why << "); relying on the trap and Host checks\n";
        return entered;
    }();

    const test::TempFolder tempFolder;
    ASSERT_FALSE(tempFolder.Path().empty());
    const std::filesystem::path temp = tempFolder.Path();
    const std::filesystem::path leakPage = temp / "leak.html";
    std::ofstream(leakPage) << "<html><body><p>file-leak.com</p></body></html>";
    const std::filesystem::path out = temp / "out";

    TrapListener trap;
    HostileServer server(trap.Port(), leakPage.string());

    std::vector<HostileAddress> addresses;
    const std::vector<HostileKind> mix = HostileMix();
    for (int i = 0; i < kGoodPages || i < kHostilePages; ++i) {
        if (i < kGoodPages)
            addresses.push_back(server.Address(HostileKind::Good, i));
        if (i < kHostilePages)
            addresses.push_back(server.Address(mix[static_cast<size_t>(i)], i));
    }
    const std::filesystem::path input = temp / "input.txt";
    std::ofstream(input, std::ios::binary) << JoinLines(addresses);

    std::vector<std::string> environment =
        InheritedEnvironment({"PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"});
    environment.push_back("HOME=" + temp.string());
    // A client that took its proxy from the environment would land in the trap.
    const std::string trapUrl = "http://127.0.0.1:" + std::to_string(trap.Port());
    for (const char* name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        environment.push_back(std::string(name) + "=" + trapUrl);

    std::vector<std::string> arguments{"-t", std::to_string(kThreads), "-o", out.string(), "-i", input.string()};
    arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
    const CliRunResult run = RunCli(HARVINA_CLI_PATH, arguments, environment, kRunLimit, settleLimit);
    const HostileServer::Seen seen = server.Snapshot();

    std::set<std::string> expected;
    std::set<std::string> allowed;
    std::set<std::string> forbidden;
    for (const HostileAddress& address : addresses) {
        expected.insert(address.expected.begin(), address.expected.end());
        allowed.insert(address.expected.begin(), address.expected.end());
        allowed.insert(address.optional.begin(), address.optional.end());
        forbidden.insert(address.forbidden.begin(), address.forbidden.end());
    }
    std::vector<std::string> lines;
    const std::string resultPath = ResultFilePath(run.out);
    const bool readable = ReadResultLines(resultPath, lines);
    const std::set<std::string> written(lines.begin(), lines.end());
    const auto wallBound = kFetchLimit * ((kForeverStalls + kThreads - 1) / kThreads) + kSlack;

    std::cout << "hostile job" << (extraArguments.empty() ? "" : " " + extraArguments.front()) << ": "
              << addresses.size() << " addresses at " << kThreads << " threads, " << run.wallSeconds
              << " s (bound " << wallBound.count() << " s), max RSS " << run.maxRssKiB / 1024 << " MiB (bound "
              << kMaxRssKiB / 1024 << " MiB), " << lines.size() << " domains written, " << expected.size()
              << " expected, message count " << CompletionCount(run.out) << ", threads at the message "
              << run.threadsAtMessage << " (" << run.threadsSettled << " after " << run.settleSeconds << " s), "
              << seen.connections << " connections, deepest redirect hop "
              << seen.deepestRedirectHop << (isolated ? ", private network" : "") << "\n";

    ASSERT_FALSE(run.timedOut) << run.err;
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("runtime error"), std::string::npos) << run.err;
    EXPECT_LE(run.wallSeconds, std::chrono::duration<double>(wallBound).count());
    EXPECT_LE(run.maxRssKiB, kMaxRssKiB);
    EXPECT_GT(run.maxRssKiB, 0);
    EXPECT_EQ(run.threadsSettled, 1) << "threads alive after the completion message";

    ASSERT_TRUE(readable) << "result file \"" << resultPath << "\" unreadable or a line without CR LF";
    EXPECT_EQ(CompletionCount(run.out), static_cast<long>(lines.size()));
    EXPECT_EQ(written.size(), lines.size()) << "a domain written twice";
    for (const std::string& domain : expected)
        EXPECT_TRUE(written.count(domain)) << "lost: " << domain;
    for (const std::string& domain : lines) {
        EXPECT_TRUE(allowed.count(domain)) << "unexpected line: " << domain;
        EXPECT_FALSE(forbidden.count(domain)) << "must not be reached: " << domain;
    }

    // Nothing but this server was asked, every page once, and no chain was followed far.
    EXPECT_EQ(trap.Connections(), 0u) << "a proxy variable or a non-HTTP redirect was followed";
    EXPECT_EQ(seen.foreignHosts, 0u);
    ASSERT_EQ(seen.goodFetches.size(), static_cast<size_t>(kGoodPages));
    for (int id = 0; id < kGoodPages; ++id)
        EXPECT_EQ(seen.goodFetches[static_cast<size_t>(id)], 1) << "good page " << id;
    EXPECT_LT(seen.deepestRedirectHop, HostileServer::kRedirectHops);
}

// Workers are joined before the message.
TEST(HostileJob, SurvivesStallsFloodsAndLiesWithinTheLimits) { RunHostileJob({}, 0ms); }

// A request thread given up at the time limit is let go and ends on its own
// within a poll interval of its transfer.
TEST(HostileJob, SecondFetchPathSurvivesThemToo) { RunHostileJob({"--alt-fetch"}, 2000ms); }

} // namespace
} // namespace harvina::testing
