// The hostile server on its own: serves on an ephemeral port of 127.0.0.1 until
// SIGINT or SIGTERM, or for at most --seconds.
//
//   hostile_server [--good N] [--hostile] [--list FILE] [--seconds S]
//
// Prints "port <n>" once it listens. --list writes the addresses of good pages 0
// to N-1 (and with --hostile one address of every hostile kind) to FILE, one a
// line. On exit prints what it saw to standard error.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <pthread.h>
#include <string>

#include "tests/hostile/HostileServer.h"
#include "tests/hostile/TrapListener.h"

using namespace harvina::testing;

namespace {

constexpr long kDefaultSeconds = 3600;
constexpr long kMaxGoodPages = 10'000'000;

int Usage()
{
    std::fputs("usage: hostile_server [--good N] [--hostile] [--list FILE] [--seconds S]\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    long good = 0;
    bool hostile = false;
    std::string list;
    long seconds = kDefaultSeconds;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--good" && hasValue)
            good = std::strtol(argv[++i], nullptr, 10);
        else if (argument == "--list" && hasValue)
            list = argv[++i];
        else if (argument == "--seconds" && hasValue)
            seconds = std::strtol(argv[++i], nullptr, 10);
        else if (argument == "--hostile")
            hostile = true;
        else
            return Usage();
    }
    if (good < 0 || good > kMaxGoodPages || seconds <= 0)
        return Usage();

    // Signals are taken by sigtimedwait below, so every server thread blocks them.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);

    TrapListener trap;
    HostileServer server(trap.Port(), "/dev/null");
    if (!list.empty()) {
        std::ofstream out(list, std::ios::binary);
        for (long id = 0; id < good; ++id)
            out << server.Url(HostileKind::Good, static_cast<int>(id)) << '\n';
        if (hostile)
            for (int kind = static_cast<int>(HostileKind::StallHead); kind <= static_cast<int>(HostileKind::LieUtf16); ++kind)
                out << server.Url(static_cast<HostileKind>(kind), 0) << '\n';
        if (!out) {
            std::fprintf(stderr, "hostile_server: cannot write %s\n", list.c_str());
            return 1;
        }
    }
    std::printf("port %d\n", server.Port());
    std::fflush(stdout);

    const timespec limit{static_cast<time_t>(seconds), 0};
    sigtimedwait(&stop, nullptr, &limit);

    const HostileServer::Seen seen = server.Snapshot();
    long goodOnce = 0;
    long goodAgain = 0;
    for (const int fetches : seen.goodFetches) {
        goodOnce += fetches == 1;
        goodAgain += fetches > 1;
    }
    std::fprintf(stderr,
                 "connections=%llu requests=%llu foreign_hosts=%llu trap_connections=%llu good_fetched_once=%ld "
                 "good_fetched_again=%ld\n",
                 static_cast<unsigned long long>(seen.connections), static_cast<unsigned long long>(seen.requests),
                 static_cast<unsigned long long>(seen.foreignHosts),
                 static_cast<unsigned long long>(trap.Connections()), goodOnce, goodAgain);
    return 0;
}
