#pragma once

#include <cstdint>
#include <string>

namespace harvina {

// Milliseconds of a monotonic clock (the job's "tick count").
[[nodiscard]] std::int64_t TickCount();

// The result file's name for the current local time: YYYY-MM-DD HH-MM-SS.
[[nodiscard]] std::string FormatTimestamp();

// A duration for the completion message, e.g. "3.52 秒" (local text).
[[nodiscard]] std::string FormatElapsed(std::int64_t ms);

} // namespace harvina
