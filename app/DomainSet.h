#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>

namespace harvina {

// The domains a job has already tested, compared byte for byte (no folding,
// no trimming). Not locked: callers hold the job lock, except Clear, which
// runs before any worker of the job exists.
class DomainSet {
public:
    // Beyond this many keys new ones are no longer stored: they are reported
    // as absent, so a huge job may write a duplicate rather than lose a domain.
    static constexpr std::size_t kMaxKeys = 20'000'000;

    // True (and inserted) when the key was not present yet.
    bool AddIfAbsent(std::string_view key);
    void Clear();
    [[nodiscard]] std::size_t Size() const { return keys_.size(); }

private:
    std::unordered_set<std::string> keys_;
};

} // namespace harvina
