#include "text/TextSearch.h"

#include "text/LocalScan.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace harvina {
namespace {

bool IsLead(unsigned char c) { return c >= 0x80; }

// Walks units from the boundary `from` to the first boundary at or after `target`;
// eight ASCII bytes are eight units.
size_t AdvanceTo(std::string_view text, size_t from, size_t target)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    size_t i = from;
    while (i < target) {
        if (target - i >= 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes + i, sizeof word);
            if ((word & 0x8080808080808080ull) == 0) {
                i += 8;
                continue;
            }
        }
        i += LocalUnitLength(text, i);
    }
    return i;
}

// The first unit boundary at or after `from` (itself a boundary) where `needle`
// matches, npos when none. Candidates are the places of the first byte, in both
// cases when it folds; the walk between them only ever moves forward.
size_t FindFrom(std::string_view text, std::string_view needle, size_t from, bool ignoreCase)
{
    constexpr size_t npos = std::string_view::npos;
    if (needle.empty() || text.size() < needle.size() || from > text.size() - needle.size())
        return npos;
    const size_t end = text.size() - needle.size() + 1; // candidates lie below this
    // The first byte compares folded only as a unit of its own (below 0x80 or alone).
    const bool single = static_cast<unsigned char>(needle[0]) < 0x80 || needle.size() == 1;
    const char lower = ignoreCase && single ? FoldAscii(needle[0]) : needle[0];
    const char upper = lower >= 'a' && lower <= 'z' && ignoreCase && single ? static_cast<char>(lower - 'a' + 'A')
                                                                            : lower;
    size_t boundary = from;
    for (size_t p = FindEitherByte(text, from, end, lower, upper); p != npos;
         p = FindEitherByte(text, p + 1, end, lower, upper)) {
        boundary = AdvanceTo(text, boundary, p);
        if (boundary == p && LocalMatchesAt(text, p, needle, ignoreCase))
            return p;
    }
    return npos;
}

} // namespace

size_t LocalUnitLength(std::string_view text, size_t i)
{
    if (IsLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size())
        return 2;
    return 1;
}

bool LocalMatchesAt(std::string_view text, size_t at, std::string_view needle, bool ignoreCase)
{
    if (at > text.size() || text.size() - at < needle.size())
        return false;
    size_t k = 0;
    while (k < needle.size()) {
        const size_t unit = LocalUnitLength(needle, k);
        if (unit == 1) {
            char a = text[at + k];
            char b = needle[k];
            if (ignoreCase) {
                a = FoldAscii(a);
                b = FoldAscii(b);
            }
            if (a != b)
                return false;
        } else if (text.compare(at + k, unit, needle, k, unit) != 0) {
            return false;
        }
        k += unit;
    }
    return true;
}

int FindLocalText(std::string_view text, std::string_view needle, int from, bool ignoreCase)
{
    size_t i = from > 1 ? static_cast<size_t>(from - 1) : 0;
    if (i >= text.size())
        return -1;
    if (needle.empty())
        return 1;
    if (text.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        text = text.substr(0, static_cast<size_t>(std::numeric_limits<int>::max()));
    const size_t at = FindFrom(text, needle, i, ignoreCase);
    return at == std::string_view::npos ? -1 : static_cast<int>(at + 1);
}

int FindLastLocalText(std::string_view text, std::string_view needle, size_t limit, bool ignoreCase)
{
    if (limit > text.size())
        limit = text.size();
    if (limit > static_cast<size_t>(std::numeric_limits<int>::max()))
        limit = static_cast<size_t>(std::numeric_limits<int>::max());
    if (needle.empty())
        return text.empty() ? -1 : 1;
    // Forward from the start so boundaries stay exact; a backward scan cannot tell
    // lead from trail bytes. Units past `limit` never matter: a match ends within it.
    const std::string_view within = text.substr(0, limit);
    int last = -1;
    for (size_t at = FindFrom(within, needle, 0, ignoreCase); at != std::string_view::npos;
         at = FindFrom(within, needle, AdvanceTo(within, at, at + 1), ignoreCase))
        last = static_cast<int>(at + 1);
    return last;
}

std::string LowerLocalText(std::string_view text)
{
    std::string out(text);
    for (size_t i = 0; i < out.size(); i += LocalUnitLength(out, i))
        out[i] = FoldAscii(out[i]);
    return out;
}

} // namespace harvina
