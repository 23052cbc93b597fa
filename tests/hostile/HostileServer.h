#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace harvina::testing {

// What a hostile endpoint does to the client that asks it.
enum class HostileKind {
    Good,            // a well-formed page with two known domains (four encodings in turn)
    StallHead,       // accepts, then says nothing, until the client gives up
    StallBody,       // headers and part of the body, then nothing
    DripForever,     // a chunked body of one small chunk every 200 ms, never ending
    SlowPage,        // a 100 KB page, one byte per 10 ms
    EndlessInterim,  // "100 Continue" every 10 ms, never a final response
    BriefStallHead,  // says nothing for two seconds, then a good page
    BriefStallBody,  // stops midway for two seconds, then the rest
    SlowSmall,       // a 400-byte page, one byte per 10 ms
    Reset,           // resets the connection once the request is in
    ResetMidBody,    // resets it after half the body
    EndlessBody,     // a page without length that never ends, as fast as it is read
    GzipBomb,        // 1 GiB of zeros, gzip-compressed
    RedirectLoop,    // redirects 1,000 times before a page
    RedirectFile,    // redirects to a file:// address of a local page
    RedirectFtp,     // redirects to ftp:// on the trap port
    RedirectGopher,  // redirects to gopher:// on the trap port
    BrokenChunked,   // a chunk size that is not hexadecimal
    ShortChunked,    // a chunk that ends before its declared size
    HugeHeader,      // one 1 MiB header line
    EndlessHeaders,  // header lines without end, as fast as they are read
    BadLength,       // a Content-Length beyond 64 bits
    HugeChunkSize,   // a chunk size beyond 64 bits
    NulBytes,        // NUL bytes around a domain
    BadGb18030,      // declares GBK, sends sequences that are not GB18030
    BadUtf8,         // declares UTF-8, sends broken UTF-8
    LieUtf8Header,   // the header says UTF-8, the body is GBK
    LieBig5Meta,     // the meta element says Big5, the body is UTF-8
    LieUtf16,        // says UTF-8, sends UTF-16LE without a mark
};

// One address of a job against the server, and what the result file must say about it.
struct HostileAddress {
    HostileKind kind = HostileKind::Good;
    int id = 0;
    std::string url;
    std::vector<std::string> expected;  // must be in the result file
    std::vector<std::string> forbidden; // must not be
    std::vector<std::string> optional;  // may be
};

[[nodiscard]] std::string_view KindName(HostileKind kind);
// True for the kinds that hold the client until its own time limit.
[[nodiscard]] bool StallsUntilTimeLimit(HostileKind kind);

// A loopback HTTP server of hostile endpoints (and good pages) on an ephemeral
// port of 127.0.0.1, one thread per connection. Every endpoint ends by itself:
// the longest hold is kMaxHold, the longest body kMaxEndlessBytes.
class HostileServer {
public:
    static constexpr std::chrono::seconds kMaxHold{300};
    static constexpr std::uint64_t kMaxEndlessBytes = std::uint64_t{4} << 30;
    static constexpr int kRedirectHops = 1000;
    static constexpr int kMaxConnections = 256; // at once; further ones wait in the backlog

    // `trapPort`: where the ftp:// and gopher:// redirects point; `filePage`: the
    // local page the file:// redirect points to.
    HostileServer(int trapPort, std::string filePage);
    ~HostileServer();
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    [[nodiscard]] int Port() const { return port_; }
    [[nodiscard]] std::string Url(HostileKind kind, int id) const;
    [[nodiscard]] HostileAddress Address(HostileKind kind, int id) const;

    // What arrived so far.
    struct Seen {
        std::uint64_t connections = 0;
        std::uint64_t requests = 0;        // with a whole request head
        std::uint64_t foreignHosts = 0;    // requests whose Host is not this server
        int deepestRedirectHop = 0;
        std::vector<int> goodFetches;      // per good id, how often it was asked for
    };
    [[nodiscard]] Seen Snapshot() const;

private:
    struct Connection {
        std::thread thread;
        std::atomic<bool> done{false};
    };
    void AcceptLoop();
    void Serve(int fd);
    void Answer(int fd, std::string_view target);
    void Reap(bool all);
    const std::string& Bomb();

    int trapPort_;
    std::string filePage_;
    int listenFd_ = -1;
    int port_ = 0;
    std::string host_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    Seen seen_;
    std::list<Connection> connections_;
    std::once_flag bombOnce_;
    std::string bomb_;
    std::thread acceptor_;
};

// The domains a good page of that id carries.
[[nodiscard]] std::vector<std::string> GoodDomains(int id);

} // namespace harvina::testing
