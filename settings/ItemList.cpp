#include "settings/ItemList.h"

#include "platform/NumberText.h"
#include "settings/SettingsLimits.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace harvina {
namespace {

void PutLength(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

bool TakeLength(std::string_view& in, std::uint32_t& value)
{
    if (in.size() < 4)
        return false;
    value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[i])) << (8 * i);
    in.remove_prefix(4);
    return true;
}

} // namespace

int ClampToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

std::string EncodeItemList(const std::vector<std::string>& items)
{
    std::string out;
    PutLength(out, static_cast<std::uint32_t>(items.size()));
    for (const std::string& item : items) {
        PutLength(out, static_cast<std::uint32_t>(item.size()));
        out += item;
    }
    return out;
}

std::optional<std::vector<std::string>> DecodeItemList(std::string_view bytes)
{
    std::uint32_t count = 0;
    if (!TakeLength(bytes, count) || count > kMaxListItems || count > bytes.size() / 4)
        return std::nullopt;
    std::vector<std::string> items;
    items.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t length = 0;
        if (!TakeLength(bytes, length) || length > bytes.size())
            return std::nullopt;
        items.emplace_back(bytes.substr(0, length));
        bytes.remove_prefix(length);
    }
    if (!bytes.empty())
        return std::nullopt;
    return items;
}

std::string FormatIndexList(const std::vector<int>& indices)
{
    std::string out;
    for (int index : indices) {
        if (!out.empty())
            out += ',';
        out += std::to_string(index);
    }
    return out;
}

std::vector<int> ParseIndexList(std::string_view text)
{
    std::vector<int> indices;
    if (text.empty())
        return indices;
    size_t at = 0;
    for (;;) {
        size_t comma = text.find(',', at);
        std::string_view entry = text.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at);
        indices.push_back(ClampToInt(ParseLeadingNumber(entry)));
        if (comma == std::string_view::npos || indices.size() >= kMaxListItems)
            return indices;
        at = comma + 1;
    }
}

} // namespace harvina
