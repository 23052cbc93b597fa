#include "tests/hostile/TrapListener.h"

#include "tests/support/LoopbackListener.h"
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
    const LoopbackListener listener = ListenOnLoopback(64);
    listenFd_ = listener.fd;
    port_ = listener.port;
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
