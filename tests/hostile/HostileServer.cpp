#include "tests/hostile/HostileServer.h"

#include "tests/support/LoopbackListener.h"
#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/Charset.h"
#include "tests/support/GzipFixture.h"

namespace harvina::testing {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kPollMs = 20;
constexpr size_t kMaxRequestHead = 64 * 1024;
constexpr auto kHeadReadLimit = 10s;
constexpr auto kBriefStall = 2s;
constexpr auto kSlowByteGap = 10ms;
constexpr auto kDripGap = 200ms;
constexpr auto kInterimGap = 10ms;
constexpr size_t kSlowPageBytes = 100 * 1024;
constexpr size_t kSlowSmallBytes = 400;
constexpr size_t kHugeHeaderBytes = 1024 * 1024;
constexpr size_t kBombBytes = size_t{1} << 30;
constexpr size_t kEndlessBlockBytes = 64 * 1024;

struct KindEntry {
    HostileKind kind;
    std::string_view name;
};

constexpr KindEntry kKinds[] = {
    {HostileKind::Good, "good"},
    {HostileKind::StallHead, "stall-head"},
    {HostileKind::StallBody, "stall-body"},
    {HostileKind::DripForever, "drip-forever"},
    {HostileKind::SlowPage, "slow-page"},
    {HostileKind::EndlessInterim, "endless-interim"},
    {HostileKind::BriefStallHead, "brief-head"},
    {HostileKind::BriefStallBody, "brief-body"},
    {HostileKind::SlowSmall, "slow-small"},
    {HostileKind::Reset, "reset"},
    {HostileKind::ResetMidBody, "reset-mid"},
    {HostileKind::EndlessBody, "endless"},
    {HostileKind::GzipBomb, "gzip-bomb"},
    {HostileKind::RedirectLoop, "redirect-loop"},
    {HostileKind::RedirectFile, "redirect-file"},
    {HostileKind::RedirectFtp, "redirect-ftp"},
    {HostileKind::RedirectGopher, "redirect-gopher"},
    {HostileKind::BrokenChunked, "broken-chunked"},
    {HostileKind::ShortChunked, "short-chunked"},
    {HostileKind::HugeHeader, "huge-header"},
    {HostileKind::EndlessHeaders, "endless-headers"},
    {HostileKind::BadLength, "bad-length"},
    {HostileKind::HugeChunkSize, "huge-chunk-size"},
    {HostileKind::NulBytes, "nul"},
    {HostileKind::BadGb18030, "bad-gb"},
    {HostileKind::BadUtf8, "bad-utf8"},
    {HostileKind::LieUtf8Header, "lie-header"},
    {HostileKind::LieBig5Meta, "lie-big5"},
    {HostileKind::LieUtf16, "lie-utf16"},
};

// The planted domain of a hostile page: "<kind>-<id>.com".
std::string Planted(HostileKind kind, int id) { return std::string(KindName(kind)) + "-" + std::to_string(id) + ".com"; }

std::string Head(std::string_view status, std::string_view headers)
{
    return "HTTP/1.1 " + std::string(status) + "\r\n" + std::string(headers) + "Connection: close\r\n\r\n";
}

std::string WithLength(std::string_view contentType, std::string_view body, std::string_view more = {})
{
    return Head("200 OK", "Content-Type: " + std::string(contentType) + "\r\nContent-Length: " +
                              std::to_string(body.size()) + "\r\n" + std::string(more)) +
           std::string(body);
}

std::string Hex(size_t n)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, n, 16).ptr;
    return std::string(buffer, end);
}

std::string GoodBodyUtf8(int id)
{
    const std::string n = std::to_string(id);
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
           "<title>好页面 " + n + "</title></head><body><p>联系 good-" + n + "-text.com 了解详情。</p>"
           "<p><a href=\"http://good-" + n + "-link.org/page.html\">链接</a></p></body></html>";
}

std::string GoodResponse(int id)
{
    const std::string utf8 = GoodBodyUtf8(id);
    switch (id % 4) {
    case 0:
        return WithLength("text/html; charset=utf-8", utf8);
    case 1: {
        std::string gbk = LocalText(utf8);
        const std::string from = "charset=utf-8";
        gbk.replace(gbk.find(from), from.size(), "charset=gb2312");
        return WithLength("text/html", gbk);
    }
    case 2:
        return WithLength("text/html", GzipBytes(utf8), "Content-Encoding: gzip\r\n");
    default: {
        std::string out = Head("200 OK", "Content-Type: text/html\r\nTransfer-Encoding: chunked\r\n");
        const size_t third = utf8.size() / 3;
        for (size_t at = 0; at < utf8.size(); at += third) {
            const std::string piece = utf8.substr(at, third);
            out += Hex(piece.size()) + "\r\n" + piece + "\r\n";
        }
        return out + "0\r\n\r\n";
    }
    }
}

std::string SimplePage(std::string_view title, std::string_view text)
{
    return "<html><head><title>" + std::string(title) + "</title></head><body><p>" + std::string(text) +
           "</p></body></html>";
}

// The id and hop of "/<kind>/<id>[/<hop>]"; false when the target is not of that shape.
bool ParseTarget(std::string_view target, HostileKind& kind, int& id, int& hop)
{
    if (target.empty() || target[0] != '/')
        return false;
    target.remove_prefix(1);
    const size_t slash = target.find('/');
    if (slash == std::string_view::npos)
        return false;
    const std::string_view name = target.substr(0, slash);
    bool known = false;
    for (const KindEntry& entry : kKinds)
        if (entry.name == name) {
            kind = entry.kind;
            known = true;
        }
    if (!known)
        return false;
    std::string_view rest = target.substr(slash + 1);
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), id);
    if (error != std::errc() || id < 0)
        return false;
    rest.remove_prefix(static_cast<size_t>(end - rest.data()));
    hop = 0;
    if (!rest.empty() && rest[0] == '/')
        std::from_chars(rest.data() + 1, rest.data() + rest.size(), hop);
    return true;
}

std::string HeaderValue(std::string_view head, std::string_view name)
{
    size_t at = head.find("\r\n");
    while (at != std::string_view::npos && at + 2 < head.size()) {
        const size_t start = at + 2;
        const size_t end = head.find("\r\n", start);
        const std::string_view line = head.substr(start, end == std::string_view::npos ? end : end - start);
        const size_t colon = line.find(':');
        if (colon == name.size()) {
            bool same = true;
            for (size_t i = 0; i < name.size() && same; ++i)
                same = (line[i] | 0x20) == (name[i] | 0x20);
            if (same) {
                std::string_view value = line.substr(colon + 1);
                while (!value.empty() && value.front() == ' ')
                    value.remove_prefix(1);
                return std::string(value);
            }
        }
        at = end;
    }
    return {};
}

// The writing side of one connection; every wait ends at the deadline, on stop
// or when the peer is gone.
class Link {
public:
    Link(int fd, const std::atomic<bool>& stopping)
        : fd_(fd), stopping_(stopping), deadline_(Clock::now() + HostileServer::kMaxHold)
    {
    }

    bool Send(std::string_view bytes)
    {
        while (!bytes.empty()) {
            if (!Usable())
                return false;
            pollfd p{fd_, POLLOUT, 0};
            if (poll(&p, 1, kPollMs) <= 0)
                continue;
            const ssize_t n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (n <= 0)
                return false;
            bytes.remove_prefix(static_cast<size_t>(n));
        }
        return true;
    }

    // Says nothing for `duration`; false when the peer went away meanwhile.
    bool Hold(Clock::duration duration)
    {
        const auto end = std::min(Clock::now() + duration, deadline_);
        while (Clock::now() < end) {
            if (stopping_.load())
                return false;
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, kPollMs) > 0) {
                char byte;
                const ssize_t n = recv(fd_, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
                if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
                    return false;
                if (n > 0 && recv(fd_, &byte, 1, 0) <= 0) // the client should send nothing more
                    return false;
            }
        }
        return Usable();
    }

    bool SendSlowly(std::string_view bytes, Clock::duration gap)
    {
        for (const char c : bytes)
            if (!Send(std::string_view(&c, 1)) || !Hold(gap))
                return false;
        return true;
    }

private:
    bool Usable() const { return !stopping_.load() && Clock::now() < deadline_; }

    int fd_;
    const std::atomic<bool>& stopping_;
    Clock::time_point deadline_;
};

void ResetConnection(int fd)
{
    const linger hard{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
}

} // namespace

std::string_view KindName(HostileKind kind)
{
    for (const KindEntry& entry : kKinds)
        if (entry.kind == kind)
            return entry.name;
    return "unknown";
}

bool StallsUntilTimeLimit(HostileKind kind)
{
    return kind == HostileKind::StallHead || kind == HostileKind::StallBody || kind == HostileKind::DripForever ||
           kind == HostileKind::SlowPage || kind == HostileKind::EndlessInterim;
}

std::vector<std::string> GoodDomains(int id)
{
    const std::string n = std::to_string(id);
    return {"good-" + n + "-text.com", "good-" + n + "-link.org"};
}

HostileServer::HostileServer(int trapPort, std::string filePage) : trapPort_(trapPort), filePage_(std::move(filePage))
{
    const LoopbackListener listener = ListenOnLoopback(512);
    listenFd_ = listener.fd;
    port_ = listener.port;
    host_ = "127.0.0.1:" + std::to_string(port_);
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

HostileServer::~HostileServer()
{
    stopping_.store(true);
    acceptor_.join();
    Reap(true);
    close(listenFd_);
}

std::string HostileServer::Url(HostileKind kind, int id) const
{
    return "http://" + host_ + "/" + std::string(KindName(kind)) + "/" + std::to_string(id);
}

HostileAddress HostileServer::Address(HostileKind kind, int id) const
{
    HostileAddress address;
    address.kind = kind;
    address.id = id;
    address.url = Url(kind, id);
    const std::string planted = Planted(kind, id);
    switch (kind) {
    case HostileKind::Good:
        address.expected = GoodDomains(id);
        break;
    case HostileKind::BriefStallHead:
    case HostileKind::BriefStallBody:
    case HostileKind::SlowSmall:
    case HostileKind::EndlessBody: // cut at the body cap, still read
    case HostileKind::BadGb18030:
    case HostileKind::BadUtf8:
    case HostileKind::LieUtf8Header:
    case HostileKind::LieBig5Meta:
        address.expected = {planted};
        break;
    case HostileKind::NulBytes:
        address.expected = {planted, "nul-link-" + std::to_string(id) + ".org"};
        break;
    case HostileKind::RedirectLoop:
        address.forbidden = {planted}; // only the page after the last hop has it
        break;
    case HostileKind::RedirectFile:
        address.forbidden = {"file-leak.com"};
        break;
    default:
        address.optional = {planted};
        break;
    }
    return address;
}

HostileServer::Seen HostileServer::Snapshot() const
{
    std::lock_guard lock(mutex_);
    return seen_;
}

const std::string& HostileServer::Bomb()
{
    std::call_once(bombOnce_, [this] { bomb_ = GzipBomb(kBombBytes); });
    return bomb_;
}

void HostileServer::Reap(bool all)
{
    std::list<Connection> done;
    {
        std::lock_guard lock(mutex_);
        for (auto it = connections_.begin(); it != connections_.end();) {
            const auto next = std::next(it);
            if (all || it->done.load())
                done.splice(done.end(), connections_, it);
            it = next;
        }
    }
    for (Connection& connection : done)
        connection.thread.join();
}

void HostileServer::AcceptLoop()
{
    while (!stopping_.load()) {
        Reap(false);
        {
            std::lock_guard lock(mutex_);
            if (connections_.size() >= static_cast<size_t>(kMaxConnections)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
                continue;
            }
        }
        pollfd p{listenFd_, POLLIN, 0};
        if (poll(&p, 1, kPollMs) <= 0)
            continue;
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::lock_guard lock(mutex_);
        ++seen_.connections;
        Connection& connection = connections_.emplace_back();
        connection.thread = std::thread([this, fd, &connection] {
            Serve(fd);
            connection.done.store(true);
        });
    }
}

void HostileServer::Serve(int fd)
{
    std::string data;
    const auto limit = Clock::now() + kHeadReadLimit;
    size_t headEnd = std::string::npos;
    while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
        if (stopping_.load() || Clock::now() > limit || data.size() > kMaxRequestHead) {
            close(fd);
            return;
        }
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, kPollMs) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            close(fd);
            return;
        }
        data.append(buffer, static_cast<size_t>(n));
    }
    const std::string_view head(data.data(), headEnd + 2);
    const size_t space1 = head.find(' ');
    const size_t space2 = head.find(' ', space1 + 1);
    const std::string target =
        space1 == std::string_view::npos || space2 == std::string_view::npos
            ? std::string()
            : std::string(head.substr(space1 + 1, space2 - space1 - 1));
    {
        std::lock_guard lock(mutex_);
        ++seen_.requests;
        if (HeaderValue(head, "Host") != host_)
            ++seen_.foreignHosts;
    }
    Answer(fd, target);
}

void HostileServer::Answer(int fd, std::string_view target)
{
    Link link(fd, stopping_);
    HostileKind kind{};
    int id = 0;
    int hop = 0;
    if (!ParseTarget(target, kind, id, hop)) {
        link.Send(WithLength("text/plain", "missing"));
        kind = HostileKind::Good;
        id = -1;
    }
    const std::string planted = Planted(kind, id);
    bool reset = false;
    switch (id < 0 ? HostileKind::Good : kind) {
    case HostileKind::Good: {
        if (id < 0)
            break;
        {
            std::lock_guard lock(mutex_);
            if (seen_.goodFetches.size() <= static_cast<size_t>(id))
                seen_.goodFetches.resize(static_cast<size_t>(id) + 1, 0);
            ++seen_.goodFetches[static_cast<size_t>(id)];
        }
        link.Send(GoodResponse(id));
        break;
    }
    case HostileKind::StallHead:
        link.Hold(kMaxHold);
        break;
    case HostileKind::StallBody:
        if (link.Send(Head("200 OK", "Content-Type: text/html\r\nContent-Length: 10000\r\n") +
                      "<html><title>stall</title><body>" + planted + " "))
            link.Hold(kMaxHold);
        break;
    case HostileKind::DripForever: {
        if (!link.Send(Head("200 OK", "Content-Type: text/html\r\nTransfer-Encoding: chunked\r\n")))
            break;
        const std::string first = "<html><body>" + planted + " ";
        if (!link.Send(Hex(first.size()) + "\r\n" + first + "\r\n"))
            break;
        while (link.Hold(kDripGap) && link.Send("6\r\ndrip. \r\n")) {
        }
        break;
    }
    case HostileKind::SlowPage: {
        std::string body = SimplePage("slow", planted);
        body.resize(kSlowPageBytes, ' ');
        if (link.Send(Head("200 OK", "Content-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) + "\r\n")))
            link.SendSlowly(body, kSlowByteGap);
        break;
    }
    case HostileKind::EndlessInterim:
        while (link.Send("HTTP/1.1 100 Continue\r\n\r\n") && link.Hold(kInterimGap)) {
        }
        break;
    case HostileKind::BriefStallHead:
        if (link.Hold(kBriefStall))
            link.Send(WithLength("text/html", SimplePage("brief", planted)));
        break;
    case HostileKind::BriefStallBody: {
        const std::string body = SimplePage("brief body", "first half, then " + planted);
        const std::string whole = WithLength("text/html", body);
        const size_t half = whole.size() - body.size() / 2;
        if (link.Send(std::string_view(whole).substr(0, half)) && link.Hold(kBriefStall))
            link.Send(std::string_view(whole).substr(half));
        break;
    }
    case HostileKind::SlowSmall: {
        std::string body = SimplePage("slow small", planted);
        body.resize(kSlowSmallBytes, ' ');
        link.SendSlowly(WithLength("text/html", body), kSlowByteGap);
        break;
    }
    case HostileKind::Reset:
        reset = true;
        break;
    case HostileKind::ResetMidBody: {
        std::string body = SimplePage("reset", planted);
        body.resize(2000, ' ');
        const std::string whole = WithLength("text/html", body);
        link.Send(std::string_view(whole).substr(0, whole.size() - 1000));
        reset = true;
        break;
    }
    case HostileKind::EndlessBody: {
        if (!link.Send(Head("200 OK", "Content-Type: text/html\r\n") + "<html><head><title>endless</title></head><body><p>" +
                       planted + " "))
            break;
        std::string block;
        while (block.size() < kEndlessBlockBytes)
            block += "endless text ";
        for (std::uint64_t sent = 0; sent < kMaxEndlessBytes && link.Send(block); sent += block.size()) {
        }
        break;
    }
    case HostileKind::GzipBomb: {
        const std::string& bomb = Bomb();
        link.Send(Head("200 OK", "Content-Type: text/html\r\nContent-Encoding: gzip\r\nContent-Length: " +
                                     std::to_string(bomb.size()) + "\r\n"));
        link.Send(bomb);
        break;
    }
    case HostileKind::RedirectLoop: {
        {
            std::lock_guard lock(mutex_);
            seen_.deepestRedirectHop = std::max(seen_.deepestRedirectHop, hop);
        }
        if (hop >= kRedirectHops)
            link.Send(WithLength("text/html", SimplePage("end of the loop", planted)));
        else
            link.Send(Head("302 Found", "Location: /" + std::string(KindName(kind)) + "/" + std::to_string(id) + "/" +
                                            std::to_string(hop + 1) + "\r\nContent-Length: 0\r\n"));
        break;
    }
    case HostileKind::RedirectFile:
        link.Send(Head("302 Found", "Location: file://" + filePage_ + "\r\nContent-Length: 0\r\n"));
        break;
    case HostileKind::RedirectFtp:
        link.Send(Head("302 Found", "Location: ftp://127.0.0.1:" + std::to_string(trapPort_) +
                                        "/page.html\r\nContent-Length: 0\r\n"));
        break;
    case HostileKind::RedirectGopher:
        link.Send(Head("302 Found", "Location: gopher://127.0.0.1:" + std::to_string(trapPort_) +
                                        "/1page\r\nContent-Length: 0\r\n"));
        break;
    case HostileKind::BrokenChunked:
        link.Send(Head("200 OK", "Content-Type: text/html\r\nTransfer-Encoding: chunked\r\n") + "zz\r\n<p>" + planted +
                  "</p>\r\n0\r\n\r\n");
        break;
    case HostileKind::ShortChunked:
        link.Send(Head("200 OK", "Content-Type: text/html\r\nTransfer-Encoding: chunked\r\n") + "400\r\n<p>" + planted +
                  "</p>");
        break;
    case HostileKind::HugeHeader:
        link.Send(Head("200 OK", "X-Huge: " + std::string(kHugeHeaderBytes, 'h') + "\r\nContent-Type: text/html\r\n"
                                 "Content-Length: 40\r\n") + std::string(SimplePage("h", planted)).substr(0, 40));
        break;
    case HostileKind::EndlessHeaders: {
        if (!link.Send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"))
            break;
        std::string lines;
        for (int i = 0; lines.size() < kEndlessBlockBytes; ++i)
            lines += "X-Endless-" + std::to_string(i) + ": " + planted + "\r\n";
        for (std::uint64_t sent = 0; sent < kMaxEndlessBytes && link.Send(lines); sent += lines.size()) {
        }
        break;
    }
    case HostileKind::BadLength:
        link.Send(Head("200 OK", "Content-Type: text/html\r\nContent-Length: 184467440737095516160\r\n") +
                  SimplePage("bad length", planted));
        break;
    case HostileKind::HugeChunkSize:
        link.Send(Head("200 OK", "Content-Type: text/html\r\nTransfer-Encoding: chunked\r\n") +
                  "1FFFFFFFFFFFFFFFFF\r\n" + SimplePage("huge chunk", planted) + "\r\n0\r\n\r\n");
        break;
    case HostileKind::NulBytes: {
        const std::string n = std::to_string(id);
        std::string body = "<html><head><title>nul";
        body += '\0';
        body += "title</title></head><body><p>";
        body += std::string(3, '\0') + " " + planted + " " + std::string(1, '\0') + "</p><a href=\"http://nul-link-" + n +
                ".org/x";
        body += '\0';
        body += "y\">";
        body += '\0';
        body += "</a></body></html>";
        link.Send(WithLength("text/html", body));
        break;
    }
    case HostileKind::BadGb18030: {
        const std::string body = LocalText("<html><body><p>中文页面") + "\x81\x20 \xFF\xFF \x80 \x81\x30\x81 " + planted +
                                 " \xFE";
        link.Send(WithLength("text/html; charset=gbk", body));
        break;
    }
    case HostileKind::BadUtf8: {
        const std::string body = "<html><head><meta charset=\"utf-8\"></head><body><p>\xE4\xB8\xAD"
                                 "\xC3\x28 \xC0\xAF \xED\xA0\x80 \xF8\x88\x80\x80\x80 \x80 " + planted + " \xE4\xB8";
        link.Send(WithLength("text/html", body));
        break;
    }
    case HostileKind::LieUtf8Header:
        link.Send(WithLength("text/html; charset=utf-8", LocalText(SimplePage("谎言", "中文页面 " + planted + " 结束"))));
        break;
    case HostileKind::LieBig5Meta:
        link.Send(WithLength("text/html", "<html><head><meta charset=\"big5\"><title>謊言</title></head><body><p>中文 " +
                                              planted + " 結束</p></body></html>"));
        break;
    case HostileKind::LieUtf16: {
        const std::string utf16 = ConvertBytes(SimplePage("utf-16", planted), "UTF-8", "UTF-16LE");
        link.Send(WithLength("text/html; charset=utf-8", utf16));
        break;
    }
    }
    if (reset) {
        ResetConnection(fd);
        close(fd);
        return;
    }
    // Half-close, then wait briefly for the client's close, so that unread request
    // bytes cannot turn the close into a reset that destroys the reply.
    shutdown(fd, SHUT_WR);
    link.Hold(std::chrono::milliseconds(500));
    close(fd);
}

} // namespace harvina::testing
