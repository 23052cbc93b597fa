#include "settings/SettingsBytes.h"

#include "platform/Charset.h"

namespace harvina {

int FindBytes(std::string_view text, std::string_view needle, int from)
{
    size_t start = from <= 1 ? 0 : static_cast<size_t>(from - 1);
    if (start > text.size())
        return -1;
    size_t at = text.find(needle, start);
    return at == std::string_view::npos ? -1 : static_cast<int>(at) + 1;
}

int FindLastBytes(std::string_view text, std::string_view needle, int before)
{
    if (before <= 1 || needle.size() > text.size())
        return -1;
    size_t limit = static_cast<size_t>(before - 2); // last allowed 0-based start
    size_t at = text.rfind(needle, limit);
    return at == std::string_view::npos ? -1 : static_cast<int>(at) + 1;
}

bool HasLineBreak(std::string_view text) { return text.find(kLineBreak) != std::string_view::npos; }

bool StartsLine(std::string_view text, int position)
{
    return position == 1 || (position >= 3 && static_cast<size_t>(position) <= text.size() + 1 &&
                             text.substr(static_cast<size_t>(position) - 3, 2) == kLineBreak);
}

std::string BytesBetween(std::string_view text, int first, int last)
{
    if (first < 1 || last < first || static_cast<size_t>(first) > text.size())
        return {};
    size_t count = std::min(static_cast<size_t>(last - first + 1), text.size() - static_cast<size_t>(first - 1));
    return std::string(text.substr(static_cast<size_t>(first - 1), count));
}

std::string ReplaceAllBytes(std::string_view text, std::string_view from, std::string_view to)
{
    std::string out;
    out.reserve(text.size());
    size_t at = 0;
    for (size_t hit; (hit = text.find(from, at)) != std::string_view::npos; at = hit + from.size())
        out.append(text.substr(at, hit - at)).append(to);
    out.append(text.substr(at));
    return out;
}

const std::string& LineBreakEscape()
{
    static const std::string kEscape = LocalText("┊*┊");
    return kEscape;
}

const std::string& TrueText()
{
    static const std::string kTrue = LocalText("真");
    return kTrue;
}

const std::string& FalseText()
{
    static const std::string kFalse = LocalText("假");
    return kFalse;
}

} // namespace harvina
