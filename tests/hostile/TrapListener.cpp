#include "tests/hostile/TrapListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace harvina::testing {

namespace {
constexpr int kPollMs = 20;
} // namespace

TrapListener::TrapListener()
{
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0)
        throw std::runtime_error("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listenFd_, 64) != 0) {
        close(listenFd_);
        throw std::runtime_error("bind/listen");
    }
    socklen_t length = sizeof address;
    getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

TrapListener::~TrapListener()
{
    stopping_.store(true);
    acceptor_.join();
    close(listenFd_);
}

void TrapListener::AcceptLoop()
{
    while (!stopping_.load()) {
        pollfd p{listenFd_, POLLIN, 0};
        if (poll(&p, 1, kPollMs) <= 0)
            continue;
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ++connections_;
        close(fd);
    }
}

} // namespace harvina::testing
