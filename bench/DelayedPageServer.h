#pragma once

#include <chrono>
#include <string>
#include <thread>
#include <vector>

// A loopback HTTP server that answers every GET /page/N after a fixed delay
// with one of a few prepared pages, then closes the connection. A pool of
// threads blocks in accept on one socket with a deep backlog, so a burst of
// connections is neither refused nor queued behind a slow accept loop.
class DelayedPageServer {
public:
    DelayedPageServer(std::vector<std::string> pages, std::chrono::milliseconds delay, int threads);
    ~DelayedPageServer();
    DelayedPageServer(const DelayedPageServer&) = delete;
    DelayedPageServer& operator=(const DelayedPageServer&) = delete;

    [[nodiscard]] int Port() const { return port_; }

private:
    void Serve();
    void Answer(int connection);

    std::vector<std::string> responses_; // status line, headers and body
    std::chrono::milliseconds delay_;
    int listener_ = -1;
    int port_ = 0;
    std::vector<std::thread> threads_;
};
