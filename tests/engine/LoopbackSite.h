#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

namespace harvina::test {

// A web site on 127.0.0.1 for end-to-end jobs: fixed pages by path, a log of
// the paths requested, the most requests served at once, and an optional
// gate that holds every answer until it is opened.
class LoopbackSite {
public:
    LoopbackSite()
    {
        // Enough workers for every request a test holds at the gate; the
        // server owns the pool it is handed.
        server_.new_task_queue = [] { return new httplib::ThreadPool(kPoolThreads); };
        server_.Get(R"(/(.*))", [this](const httplib::Request& request, httplib::Response& response) {
            Answer(request, response);
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // A stop before the accept loop runs would be lost.
        while (!server_.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~LoopbackSite()
    {
        OpenGate();
        server_.stop();
        thread_.join();
    }
    LoopbackSite(const LoopbackSite&) = delete;
    LoopbackSite& operator=(const LoopbackSite&) = delete;

    // `body` is sent as it is (bytes).
    void AddPage(const std::string& path, std::string body, std::chrono::milliseconds delay = {})
    {
        std::lock_guard lock(mutex_);
        pages_[path] = Page{std::move(body), delay};
    }
    [[nodiscard]] std::string Url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

    // Called with each path as its request arrives (on a server thread).
    void OnRequest(std::function<void(const std::string&)> hook)
    {
        std::lock_guard lock(mutex_);
        onRequest_ = std::move(hook);
    }

    void CloseGate()
    {
        std::lock_guard lock(mutex_);
        gateOpen_ = false;
    }
    void OpenGate()
    {
        std::lock_guard lock(mutex_);
        gateOpen_ = true;
        gateChanged_.notify_all();
    }

    [[nodiscard]] std::vector<std::string> Requests() const
    {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    [[nodiscard]] int RequestCount() const
    {
        std::lock_guard lock(mutex_);
        return static_cast<int>(requests_.size());
    }
    // Most requests in progress at once.
    [[nodiscard]] int MaxConcurrent() const { return maxConcurrent_; }
    // For each request, in arrival order: how many were in progress with it.
    [[nodiscard]] std::vector<int> ArrivalConcurrency() const
    {
        std::lock_guard lock(mutex_);
        return arrivalConcurrency_;
    }

    // Waits (bounded) until at least `n` requests have arrived.
    bool WaitForRequests(int n, std::chrono::milliseconds limit = std::chrono::seconds(5)) const
    {
        std::unique_lock lock(mutex_);
        return arrived_.wait_for(lock, limit, [&] { return static_cast<int>(requests_.size()) >= n; });
    }

private:
    static constexpr std::size_t kPoolThreads = 24;

    struct Page {
        std::string body;
        std::chrono::milliseconds delay{};
    };

    void Answer(const httplib::Request& request, httplib::Response& response)
    {
        const int now = ++concurrent_;
        for (int seen = maxConcurrent_; now > seen && !maxConcurrent_.compare_exchange_weak(seen, now);) {
        }
        Page page;
        bool found = false;
        std::function<void(const std::string&)> hook;
        {
            std::unique_lock lock(mutex_);
            requests_.push_back(request.path);
            arrivalConcurrency_.push_back(now);
            arrived_.notify_all();
            hook = onRequest_;
            const auto it = pages_.find(request.path);
            if (it != pages_.end()) {
                page = it->second;
                found = true;
            }
        }
        if (hook)
            hook(request.path);
        {
            std::unique_lock lock(mutex_);
            gateChanged_.wait(lock, [&] { return gateOpen_; });
        }
        if (page.delay.count() > 0)
            std::this_thread::sleep_for(page.delay);
        --concurrent_;
        if (!found) {
            response.status = 404;
            return;
        }
        response.set_content(page.body, "text/html");
    }

    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::condition_variable gateChanged_;
    bool gateOpen_ = true;
    std::map<std::string, Page> pages_;
    std::vector<std::string> requests_;
    std::vector<int> arrivalConcurrency_;
    std::function<void(const std::string&)> onRequest_;
    std::atomic<int> concurrent_{0};
    std::atomic<int> maxConcurrent_{0};
};

} // namespace harvina::test
