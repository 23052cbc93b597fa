#include "tests/support/RawHttpServer.h"

#include "tests/support/LoopbackListener.h"
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace harvina::testing {
namespace {

constexpr size_t kMaxRequestHead = 1024 * 1024;
constexpr size_t kMaxRequestBody = 16 * 1024 * 1024;
constexpr int kPollMs = 20;

std::string Lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Reads more bytes into `data`; false on close, error or stop.
bool ReadMore(int fd, std::string& data, const std::atomic<bool>& stopping)
{
    while (!stopping.load()) {
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, kPollMs);
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready <= 0)
            continue;
        char buffer[16384];
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return false;
        data.append(buffer, static_cast<size_t>(n));
        return true;
    }
    return false;
}

bool ParseHead(RawRequest& request)
{
    const std::string& head = request.head;
    size_t lineEnd = head.find("\r\n");
    const std::string_view requestLine = std::string_view(head).substr(0, lineEnd);
    const size_t space1 = requestLine.find(' ');
    const size_t space2 = requestLine.find(' ', space1 + 1);
    if (space1 == std::string_view::npos || space2 == std::string_view::npos)
        return false;
    request.method = std::string(requestLine.substr(0, space1));
    request.target = std::string(requestLine.substr(space1 + 1, space2 - space1 - 1));
    size_t start = lineEnd + 2;
    while (start < head.size()) {
        lineEnd = head.find("\r\n", start);
        if (lineEnd == std::string::npos || lineEnd == start)
            break;
        const std::string_view line = std::string_view(head).substr(start, lineEnd - start);
        const size_t colon = line.find(':');
        if (colon != std::string_view::npos)
            request.headers.emplace_back(std::string(line.substr(0, colon)), std::string(Trim(line.substr(colon + 1))));
        start = lineEnd + 2;
    }
    return true;
}

} // namespace

std::string RawRequest::Header(std::string_view name) const
{
    const std::string wanted = Lower(name);
    for (const auto& [key, value] : headers) {
        if (Lower(key) == wanted)
            return value;
    }
    return {};
}

bool RawRequest::HasHeader(std::string_view name) const
{
    const std::string wanted = Lower(name);
    for (const auto& header : headers) {
        if (Lower(header.first) == wanted)
            return true;
    }
    return false;
}

std::vector<std::string> RawRequest::HeaderNames() const
{
    std::vector<std::string> names;
    for (const auto& header : headers)
        names.push_back(header.first);
    return names;
}

bool RawConnection::Send(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

void RawConnection::Stall(std::chrono::milliseconds duration)
{
    const auto end = std::chrono::steady_clock::now() + duration;
    while (!stopping_.load() && std::chrono::steady_clock::now() < end) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, kPollMs) > 0) {
            char byte;
            if (recv(fd_, &byte, 1, MSG_PEEK) <= 0)
                return; // the peer is gone
        }
    }
}

RawHttpServer::RawHttpServer(Handler handler) : handler_(std::move(handler))
{
    const LoopbackListener listener = ListenOnLoopback(64);
    listenFd_ = listener.fd;
    port_ = listener.port;
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

RawHttpServer::~RawHttpServer()
{
    stopping_.store(true);
    acceptor_.join();
    std::vector<std::thread> connections;
    {
        std::lock_guard lock(mutex_);
        connections.swap(connections_);
    }
    for (std::thread& connection : connections)
        connection.join();
    close(listenFd_);
}

std::string RawHttpServer::Url(std::string_view path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<RawRequest> RawHttpServer::Requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

RawRequest RawHttpServer::LastRequest() const
{
    std::lock_guard lock(mutex_);
    return requests_.empty() ? RawRequest{} : requests_.back();
}

size_t RawHttpServer::RequestCount() const
{
    std::lock_guard lock(mutex_);
    return requests_.size();
}

std::string RawHttpServer::Response(int status, std::string_view reason, std::string_view headers,
                                    std::string_view body)
{
    return "HTTP/1.1 " + std::to_string(status) + " " + std::string(reason) + "\r\n" + "Content-Length: "
           + std::to_string(body.size()) + "\r\nConnection: close\r\n" + std::string(headers) + "\r\n"
           + std::string(body);
}

RawHttpServer::Handler RawHttpServer::Reply(std::string bytes)
{
    return [bytes = std::move(bytes)](const RawRequest&, RawConnection& connection) { connection.Send(bytes); };
}

RawHttpServer::Handler RawHttpServer::Routes(std::map<std::string, std::string> routes)
{
    return [routes = std::move(routes)](const RawRequest& request, RawConnection& connection) {
        const auto found = routes.find(request.target);
        connection.Send(found != routes.end() ? found->second : Response(404, "Not Found", "", "missing"));
    };
}

std::string RawHttpServer::Ok(std::string_view body, std::string_view headers)
{
    return Response(200, "OK", headers, body);
}

void RawHttpServer::AcceptLoop()
{
    while (!stopping_.load()) {
        pollfd p{listenFd_, POLLIN, 0};
        if (poll(&p, 1, kPollMs) <= 0)
            continue;
        const int fd = accept(listenFd_, nullptr, nullptr);
        if (fd < 0)
            continue;
        std::lock_guard lock(mutex_);
        connections_.emplace_back([this, fd] { Serve(fd); });
    }
}

void RawHttpServer::Serve(int fd)
{
    std::string data;
    size_t headEnd = std::string::npos;
    while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
        if (data.size() > kMaxRequestHead || !ReadMore(fd, data, stopping_)) {
            close(fd);
            return;
        }
    }
    RawRequest request;
    request.head = data.substr(0, headEnd + 4);
    if (!ParseHead(request)) {
        close(fd);
        return;
    }
    const std::string length = request.Header("Content-Length");
    const size_t bodyLength = length.empty() ? 0 : std::stoul(length);
    std::string body = data.substr(headEnd + 4);
    while (body.size() < bodyLength && bodyLength <= kMaxRequestBody && ReadMore(fd, body, stopping_)) {
    }
    request.body = body.substr(0, bodyLength);
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    RawConnection connection(fd, stopping_);
    handler_(request, connection);
    // Half-close and drain, so that unread bytes cannot turn the close into a reset
    // that would destroy the reply before the client has read it.
    shutdown(fd, SHUT_WR);
    const auto drainEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    std::string rest;
    while (std::chrono::steady_clock::now() < drainEnd && ReadMore(fd, rest, stopping_))
        rest.clear();
    close(fd);
}

} // namespace harvina::testing
