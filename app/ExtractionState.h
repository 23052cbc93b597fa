#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/DomainSet.h"
#include "app/ListFile.h"
#include "app/ResultFile.h"

namespace harvina {

// The record of the one extraction job that can run at a time. Job control
// reinitialises it field by field at each start; values of the last job stay
// readable until the next one.
struct ExtractionState {
    // Set by the host before each start (true: the second fetch path); read
    // by workers when they fetch.
    std::atomic<bool> useWinInet{false};
    // Read and written on the UI thread only.
    bool stopRequested = false;
    std::atomic<std::int32_t> startedCount{0};
    std::atomic<std::int32_t> runningCount{0};
    // The next three are touched only under jobLock.
    std::atomic<std::int32_t> extractedCount{0};
    // Accepted domains whose line could not be written to resultFile.
    std::int32_t unwrittenCount = 0;
    std::vector<std::string> inputLines;
    // A fresh lock per job, gone once its last worker has ended.
    std::unique_ptr<std::mutex> jobLock;
    ResultFile resultFile;
    DomainSet seenDomains;
    std::int64_t startTick = 0;
    std::string suffixText;
    ListFile listFile;
};

// The process-wide record.
[[nodiscard]] ExtractionState& GlobalExtractionState();

} // namespace harvina
