#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

namespace harvina::testing {

// A port on 127.0.0.1 that nobody should reach: it counts and drops every
// connection. Proxy variables and redirects to other protocols point here.
class TrapListener {
public:
    TrapListener();
    ~TrapListener();
    TrapListener(const TrapListener&) = delete;
    TrapListener& operator=(const TrapListener&) = delete;

    [[nodiscard]] int Port() const { return port_; }
    [[nodiscard]] std::uint64_t Connections() const { return connections_.load(); }

private:
    void AcceptLoop();

    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<std::uint64_t> connections_{0};
    std::thread acceptor_;
};

} // namespace harvina::testing
