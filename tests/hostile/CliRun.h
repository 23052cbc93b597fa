#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace harvina::testing {

// How one run of harvina-cli went, watched from outside.
struct CliRunResult {
    int exitCode = -1;     // 128 + signal when killed
    bool timedOut = false; // killed at the run's limit
    std::string out;
    std::string err;
    double wallSeconds = 0;
    long maxRssKiB = 0; // the child's peak resident size, from the kernel at its end
    // Read while the child was held writing its completion message (its standard
    // output is kept full from the result-file line on, so pass no --stdout);
    // -1 when the child ended without a message.
    int threadsAtMessage = -1;
    long hwmAtMessageKiB = -1;
    // The threads once the count fell to 1, or when `settleLimit` ran out, the
    // child still held at its message; and how long that took.
    int threadsSettled = -1;
    double settleSeconds = 0;
};

// Runs `program` with `arguments` in exactly the environment `environment`
// ("NAME=value" entries), standard input empty, for at most `limit`; at the
// completion message it waits up to `settleLimit` for the other threads to end.
[[nodiscard]] CliRunResult RunCli(const std::string& program, const std::vector<std::string>& arguments,
                                  const std::vector<std::string>& environment, std::chrono::seconds limit,
                                  std::chrono::milliseconds settleLimit = std::chrono::milliseconds(0));

// "NAME=value" for each of `names` set in this process.
[[nodiscard]] std::vector<std::string> InheritedEnvironment(const std::vector<std::string>& names);

// The domain count of the completion message, -1 when there is none.
[[nodiscard]] long CompletionCount(const std::string& output);
// The path the "result file" line names; empty when there is none.
[[nodiscard]] std::string ResultFilePath(const std::string& output);
// The lines of a result file, CR LF removed; false when it cannot be read or a
// line does not end in CR LF.
[[nodiscard]] bool ReadResultLines(const std::string& path, std::vector<std::string>& lines);

} // namespace harvina::testing
