#include "text/ScratchText.h"

#include <vector>

namespace harvina {
namespace {

// What a thread keeps: a few buffers of page size; smaller ones are cheap to make
// and larger ones are given back to the system.
constexpr size_t kMaxKept = 4;
constexpr size_t kMinKeptBytes = 64 * 1024;
constexpr size_t kMaxKeptBytes = size_t{8} << 20;

// Set once the thread's buffers are gone, for scratch released after them.
thread_local constinit bool keptClosed = false;

struct KeptBuffers {
    std::vector<std::string> buffers;
    ~KeptBuffers() { keptClosed = true; }
};

KeptBuffers* ThreadBuffers()
{
    if (keptClosed)
        return nullptr;
    thread_local KeptBuffers kept;
    return &kept;
}

} // namespace

ScratchText::ScratchText()
{
    KeptBuffers* kept = ThreadBuffers();
    if (kept && !kept->buffers.empty()) {
        text_.swap(kept->buffers.back());
        kept->buffers.pop_back();
        text_.clear();
    }
}

ScratchText::~ScratchText()
{
    const size_t capacity = text_.capacity();
    if (capacity < kMinKeptBytes || capacity > kMaxKeptBytes)
        return;
    KeptBuffers* kept = ThreadBuffers();
    if (kept && kept->buffers.size() < kMaxKept)
        kept->buffers.push_back(std::move(text_));
}

} // namespace harvina
