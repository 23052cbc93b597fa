#include "web/WebStrings.h"

#include "text/TextSearch.h"

#include <cmath>
#include <limits>

namespace harvina {
namespace {

constexpr std::string_view kFullWidthSpace = "\xA1\xA1"; // U+3000 in GB18030

int ClampToInt(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double kMax = std::numeric_limits<int>::max();
    constexpr double kMin = std::numeric_limits<int>::min();
    if (value >= kMax)
        return std::numeric_limits<int>::max();
    if (value <= kMin)
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

} // namespace

std::string TrimSpaces(std::string_view text)
{
    // Walk forward by characters: from the end a trail byte cannot be told from a lead.
    size_t begin = 0;
    size_t end = 0;
    bool seenContent = false;
    for (size_t i = 0; i < text.size();) {
        const size_t unit = LocalUnitLength(text, i);
        const std::string_view piece = text.substr(i, unit);
        const bool space = piece == " " || piece == kFullWidthSpace;
        if (!space) {
            if (!seenContent)
                begin = i;
            seenContent = true;
            end = i + unit;
        }
        i += unit;
    }
    return seenContent ? std::string(text.substr(begin, end - begin)) : std::string();
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && LocalMatchesAt(text, 0, prefix, true);
}

bool ContainsNoCase(std::string_view text, std::string_view needle)
{
    return FindLocalText(text, needle, 1, true) > 0;
}

bool HasWebScheme(std::string_view url)
{
    return StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://");
}

std::vector<std::string> SplitText(std::string_view text, std::string_view separator)
{
    std::vector<std::string> pieces;
    if (separator.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        if (at == std::string_view::npos) {
            pieces.emplace_back(text.substr(start));
            return pieces;
        }
        pieces.emplace_back(text.substr(start, at - start));
        start = at + separator.size();
    }
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    if (from.empty())
        return std::string(text);
    std::string out;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(from, start);
        if (at == std::string_view::npos) {
            out.append(text.substr(start));
            return out;
        }
        out.append(text.substr(start, at - start));
        out.append(to);
        start = at + from.size();
    }
}

int SecondsToMs(double seconds)
{
    return ClampToInt(seconds * 1000.0);
}

int TruncateSeconds(double seconds)
{
    return ClampToInt(seconds);
}

} // namespace harvina
