#include "platform/CappedAppend.h"

#include <algorithm>

namespace harvina {

bool AppendCapped(std::string& buffer, std::string_view data, size_t cap)
{
    const size_t room = buffer.size() < cap ? cap - buffer.size() : 0;
    const size_t take = std::min(room, data.size());
    const size_t needed = buffer.size() + take;
    if (needed > buffer.capacity())
        buffer.reserve(std::min(cap, std::max(needed, buffer.capacity() * 2)));
    buffer.append(data.substr(0, take));
    return take == data.size();
}

} // namespace harvina
