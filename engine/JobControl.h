#pragma once

#include <string>
#include <vector>

namespace harvina {

class ExtractionHost;
class JobThreads;

// The start button's operation, on the host's UI thread. Idle: runs one whole
// extraction job and returns when it has ended (its message dismissed).
// While a job runs (a press handled inside the job's own event processing):
// records a stop request and returns at once. The host sets
// GlobalExtractionState().useWinInet before each call.
void ToggleExtraction(ExtractionHost& host);

// Thread bodies: one line of the open list file, or entry `index` (1-based)
// of the job's input lines.
void ListFileWorker(ExtractionHost& host);
void ListEntryWorker(ExtractionHost& host, int index);

// About 100 ms of host event processing, every 10 ms; returns early when a
// worker ends or a stop is requested.
void PumpWait(ExtractionHost& host, JobThreads& threads);

// The input box text split at every "\r\n".
[[nodiscard]] std::vector<std::string> SplitInputLines(const std::string& text);

// Workers allowed at once for a thread-list index (1 to 20).
[[nodiscard]] int ThreadLimit(int threadIndex);

} // namespace harvina
