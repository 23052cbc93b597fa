#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <mutex>
#include <thread>

namespace harvina {

// The worker threads of one job. Threads are joined, not forgotten: finished
// ones are reaped while the job runs, the rest by JoinAll, so nothing of a job
// runs after it has ended. Every worker's end also wakes a waiting dispatcher.
class JobThreads {
public:
    JobThreads() = default;
    ~JobThreads();
    JobThreads(const JobThreads&) = delete;
    JobThreads& operator=(const JobThreads&) = delete;

    // Runs `body` on a new thread (on this one if no thread can be created).
    void Start(std::function<void()> body);
    // Joins the threads whose body has returned.
    void ReapFinished();
    void JoinAll();

    // Counts worker ends; pass a value read earlier to WaitForEnd.
    [[nodiscard]] std::uint64_t EndCount();
    // Waits up to `limit` for a worker to end after `seen` was read.
    // True when one did.
    bool WaitForEnd(std::uint64_t seen, std::chrono::milliseconds limit);

private:
    struct Worker {
        std::thread thread;
        bool finished = false; // under mutex_
    };
    void MarkEnded(Worker& worker);

    std::mutex mutex_;
    std::condition_variable ended_;
    std::uint64_t endCount_ = 0;
    std::list<Worker> workers_; // nodes stay put while their thread runs
};

} // namespace harvina
