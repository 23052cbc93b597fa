#include "app/DomainSet.h"

namespace harvina {

bool DomainSet::AddIfAbsent(std::string_view key)
{
    std::string owned(key);
    if (keys_.find(owned) != keys_.end())
        return false;
    if (keys_.size() < kMaxKeys)
        keys_.insert(std::move(owned));
    return true;
}

void DomainSet::Clear()
{
    // A fresh table also gives back the buckets of a large previous job.
    std::unordered_set<std::string>().swap(keys_);
}

} // namespace harvina
