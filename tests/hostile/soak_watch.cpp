// Runs one harvina-cli job and checks how it ended: exit status, sanitizer
// reports, the count of the message against the lines written, the domains of
// the good pages, and the threads still alive at the message.
//
//   soak_watch --good N [--seconds S] -- PROGRAM ARGUMENTS...
//
// Prints key=value figures; exits 0 only when every check holds.
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "tests/hostile/CliRun.h"
#include "tests/hostile/HostileServer.h"

using namespace harvina::testing;

namespace {

constexpr long kDefaultSeconds = 3600;

int Usage()
{
    std::fputs("usage: soak_watch --good N [--seconds S] -- PROGRAM ARGUMENTS...\n", stderr);
    return 2;
}

bool Check(bool holds, const char* what)
{
    if (!holds)
        std::printf("FAILED: %s\n", what);
    return holds;
}

} // namespace

int main(int argc, char** argv)
{
    long good = -1;
    long seconds = kDefaultSeconds;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--") {
            ++i;
            break;
        }
        if (argument == "--good" && i + 1 < argc)
            good = std::strtol(argv[++i], nullptr, 10);
        else if (argument == "--seconds" && i + 1 < argc)
            seconds = std::strtol(argv[++i], nullptr, 10);
        else
            return Usage();
    }
    if (i >= argc || good < 0 || seconds <= 0)
        return Usage();
    const std::string program = argv[i];
    const std::vector<std::string> arguments(argv + i + 1, argv + argc);

    const CliRunResult run = RunCli(program, arguments,
                                    InheritedEnvironment({"PATH", "HOME", "ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"}),
                                    std::chrono::seconds(seconds));
    std::vector<std::string> lines;
    const bool readable = ReadResultLines(ResultFilePath(run.out), lines);
    const std::set<std::string> written(lines.begin(), lines.end());
    long missing = 0;
    std::set<std::string> expected;
    for (long id = 0; id < good; ++id)
        for (const std::string& domain : GoodDomains(static_cast<int>(id))) {
            expected.insert(domain);
            missing += written.count(domain) == 0;
        }
    long unexpected = 0;
    for (const std::string& domain : written)
        unexpected += expected.count(domain) == 0;
    const long count = CompletionCount(run.out);

    std::fputs(run.err.c_str(), stdout);
    std::printf("exit_code=%d\nwall_seconds=%.2f\npages=%ld\npages_per_second=%.1f\nmax_rss_mib=%.1f\n"
                "threads_at_message=%d\nmessage_count=%ld\nlines_written=%zu\nexpected_domains=%zu\n"
                "missing_domains=%ld\nunexpected_domains=%ld\n",
                run.exitCode, run.wallSeconds, good, run.wallSeconds > 0 ? static_cast<double>(good) / run.wallSeconds : 0.0,
                static_cast<double>(run.maxRssKiB) / 1024.0, run.threadsAtMessage, count, lines.size(), expected.size(),
                missing, unexpected);
    bool ok = Check(!run.timedOut, "the job ended within its limit");
    ok &= Check(run.exitCode == 0, "exit status 0");
    ok &= Check(run.err.find("Sanitizer") == std::string::npos, "no sanitizer report");
    ok &= Check(run.err.find("runtime error") == std::string::npos, "no undefined behaviour");
    ok &= Check(readable, "the result file reads as CR LF lines");
    ok &= Check(count == static_cast<long>(lines.size()), "the message counts the lines written");
    ok &= Check(written.size() == lines.size(), "no domain written twice");
    ok &= Check(missing == 0 && unexpected == 0, "exactly the domains of the good pages");
    ok &= Check(run.threadsAtMessage == 1, "no worker alive at the message");
    std::printf("%s\n", ok ? "soak: OK" : "soak: FAILED");
    return ok ? 0 : 1;
}
