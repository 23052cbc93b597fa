#include "bench/DelayedPageServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kBacklog = 1024;
constexpr std::size_t kMaxRequestBytes = 16 * 1024;

bool SendAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

DelayedPageServer::DelayedPageServer(std::vector<std::string> pages, std::chrono::milliseconds delay, int threads)
    : delay_(delay)
{
    for (const std::string& page : pages)
        responses_.push_back("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                             std::to_string(page.size()) + "\r\nConnection: close\r\n\r\n" + page);
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(listener_, kBacklog) != 0)
        return;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    for (int i = 0; i < threads; ++i)
        threads_.emplace_back([this] { Serve(); });
}

DelayedPageServer::~DelayedPageServer()
{
    // Wakes every thread blocked in accept.
    ::shutdown(listener_, SHUT_RDWR);
    for (std::thread& thread : threads_)
        thread.join();
    ::close(listener_);
}

void DelayedPageServer::Serve()
{
    for (;;) {
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return;
        }
        Answer(connection);
        ::close(connection);
    }
}

void DelayedPageServer::Answer(int connection)
{
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < kMaxRequestBytes) {
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        request.append(buffer, static_cast<std::size_t>(n));
    }
    // "GET /page/N HTTP/1.1": N picks one of the prepared pages.
    const std::size_t at = request.find("/page/");
    const std::size_t n = at == std::string::npos ? 0 : std::strtoul(request.c_str() + at + 6, nullptr, 10);
    std::this_thread::sleep_for(delay_);
    SendAll(connection, responses_[n % responses_.size()]);
}
