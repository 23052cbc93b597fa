#include "engine/JobThreads.h"

#include <memory>
#include <system_error>

namespace harvina {

JobThreads::~JobThreads() { JoinAll(); }

void JobThreads::Start(std::function<void()> body)
{
    Worker* worker = nullptr;
    {
        std::lock_guard lock(mutex_);
        worker = &workers_.emplace_back();
    }
    // Shared so that the body survives a thread that could not be created.
    auto shared = std::make_shared<std::function<void()>>(std::move(body));
    try {
        worker->thread = std::thread([this, worker, shared] {
            (*shared)();
            MarkEnded(*worker);
        });
    } catch (const std::system_error&) {
        // Out of threads: the page is still done, only not in parallel.
        (*shared)();
        MarkEnded(*worker);
    }
}

void JobThreads::MarkEnded(Worker& worker)
{
    std::lock_guard lock(mutex_);
    worker.finished = true;
    ++endCount_;
    ended_.notify_all();
}

void JobThreads::ReapFinished()
{
    std::list<Worker> done;
    {
        std::lock_guard lock(mutex_);
        for (auto it = workers_.begin(); it != workers_.end();) {
            auto next = std::next(it);
            if (it->finished)
                done.splice(done.end(), workers_, it);
            it = next;
        }
    }
    for (Worker& worker : done)
        if (worker.thread.joinable())
            worker.thread.join();
}

void JobThreads::JoinAll()
{
    std::list<Worker> all;
    {
        std::lock_guard lock(mutex_);
        all.splice(all.end(), workers_);
    }
    for (Worker& worker : all)
        if (worker.thread.joinable())
            worker.thread.join();
}

std::uint64_t JobThreads::EndCount()
{
    std::lock_guard lock(mutex_);
    return endCount_;
}

bool JobThreads::WaitForEnd(std::uint64_t seen, std::chrono::milliseconds limit)
{
    std::unique_lock lock(mutex_);
    return ended_.wait_for(lock, limit, [&] { return endCount_ != seen; });
}

} // namespace harvina
