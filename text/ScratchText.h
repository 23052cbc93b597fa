#pragma once

#include <string>

namespace harvina {

// A string buffer lent by the calling thread for one step over a page. Pages run to
// megabytes, and a fresh buffer for every intermediate text faults its pages in again
// on every pass; each thread keeps a few returned buffers for the next step.
class ScratchText {
public:
    ScratchText();
    ~ScratchText();
    ScratchText(const ScratchText&) = delete;
    ScratchText& operator=(const ScratchText&) = delete;

    // Empty on loan; its capacity is what an earlier step left.
    [[nodiscard]] std::string& Text() { return text_; }

private:
    std::string text_;
};

} // namespace harvina
