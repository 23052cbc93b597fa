#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace harvina::testing {

// One request as it arrived, byte for byte.
struct RawRequest {
    std::string head;   // request line and header lines, up to and including the empty line
    std::string method;
    std::string target; // as sent: origin form "/a" or, through a proxy, absolute form
    std::vector<std::pair<std::string, std::string>> headers; // in arrival order
    std::string body;

    // First value of the header (ASCII case ignored); empty when absent.
    [[nodiscard]] std::string Header(std::string_view name) const;
    [[nodiscard]] bool HasHeader(std::string_view name) const;
    // Header names in arrival order.
    [[nodiscard]] std::vector<std::string> HeaderNames() const;
};

// The server side of one accepted connection, handed to the handler.
class RawConnection {
public:
    RawConnection(int fd, const std::atomic<bool>& stopping) : fd_(fd), stopping_(stopping) {}
    // Writes all bytes; false once the peer is gone.
    bool Send(std::string_view bytes);
    // Keeps the connection open without a word, until the time passes, the peer closes
    // or the server stops.
    void Stall(std::chrono::milliseconds duration);

private:
    int fd_;
    const std::atomic<bool>& stopping_;
};

// A small HTTP/1.1 server on 127.0.0.1 with byte-level control of every reply, for
// tests: stalled headers, bodies that stop midway, oversized header blocks, proxies.
// One request per connection; the connection closes when the handler returns.
class RawHttpServer {
public:
    using Handler = std::function<void(const RawRequest&, RawConnection&)>;

    explicit RawHttpServer(Handler handler);
    ~RawHttpServer();
    RawHttpServer(const RawHttpServer&) = delete;
    RawHttpServer& operator=(const RawHttpServer&) = delete;

    [[nodiscard]] int Port() const { return port_; }
    // "http://127.0.0.1:<port>" + path.
    [[nodiscard]] std::string Url(std::string_view path = "/") const;
    [[nodiscard]] std::vector<RawRequest> Requests() const;
    [[nodiscard]] RawRequest LastRequest() const;
    [[nodiscard]] size_t RequestCount() const;

    // A whole response with Content-Length and "Connection: close"; `headers` are
    // extra lines, each ending in CR LF.
    [[nodiscard]] static std::string Response(int status, std::string_view reason, std::string_view headers,
                                              std::string_view body);
    // A handler that answers every request with the same bytes.
    [[nodiscard]] static Handler Reply(std::string bytes);
    // A handler answering each request target with fixed bytes; others get 404 "missing".
    [[nodiscard]] static Handler Routes(std::map<std::string, std::string> routes);
    // A 200 response with a Content-Type of text/html unless other headers are given.
    [[nodiscard]] static std::string Ok(std::string_view body, std::string_view headers = "Content-Type: text/html\r\n");

private:
    void AcceptLoop();
    void Serve(int fd);

    Handler handler_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<RawRequest> requests_;
    std::vector<std::thread> connections_;
    std::thread acceptor_;
};

} // namespace harvina::testing
