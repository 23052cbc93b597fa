#include "text/TextSearch.h"

#include <limits>

namespace harvina {
namespace {

bool IsLead(unsigned char c) { return c >= 0x80; }

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

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
    for (; i + needle.size() <= text.size(); i += LocalUnitLength(text, i)) {
        if (LocalMatchesAt(text, i, needle, ignoreCase))
            return static_cast<int>(i + 1);
    }
    return -1;
}

int FindLastLocalText(std::string_view text, std::string_view needle, size_t limit, bool ignoreCase)
{
    if (limit > text.size())
        limit = text.size();
    if (limit > static_cast<size_t>(std::numeric_limits<int>::max()))
        limit = static_cast<size_t>(std::numeric_limits<int>::max());
    if (needle.empty())
        return text.empty() ? -1 : 1;
    int last = -1;
    // Walk forward so boundaries stay exact; a backward scan cannot tell lead from trail bytes.
    for (size_t i = 0; i + needle.size() <= limit; i += LocalUnitLength(text, i)) {
        if (LocalMatchesAt(text, i, needle, ignoreCase))
            last = static_cast<int>(i + 1);
    }
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
