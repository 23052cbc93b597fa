#include "text/LocalScan.h"

#include <cstdint>
#include <cstring>

namespace harvina {
namespace {

bool IsLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsDigitByte(unsigned char c) { return c >= 0x30 && c <= 0x39; }

} // namespace

size_t AdvanceUnits(std::string_view text, size_t from, size_t target)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    size_t i = from;
    while (i < target) {
        if (i + 8 <= target) {
            std::uint64_t word;
            std::memcpy(&word, bytes + i, sizeof word);
            if ((word & 0x8080808080808080ull) == 0) {
                i += 8;
                continue;
            }
        }
        i += bytes[i] < 0x80 ? 1 : LocalUnitAt(text, i);
    }
    return i;
}

size_t LocalUnitAt(std::string_view text, size_t i)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t left = text.size() - i;
    if (!IsLead(bytes[i]) || left < 2)
        return 1;
    const unsigned char second = bytes[i + 1];
    if ((second >= 0x40 && second <= 0x7E) || (second >= 0x80 && second <= 0xFE))
        return 2;
    if (IsDigitByte(second) && left >= 4 && IsLead(bytes[i + 2]) && IsDigitByte(bytes[i + 3]))
        return 4;
    return 1;
}

bool MatchesAt(std::string_view text, size_t at, std::string_view needle, bool ignoreCase)
{
    if (at > text.size() || text.size() - at < needle.size())
        return false;
    if (needle.empty())
        return true;
    if (!ignoreCase)
        return std::memcmp(text.data() + at, needle.data(), needle.size()) == 0;
    for (size_t k = 0; k < needle.size();) {
        if (static_cast<unsigned char>(needle[k]) < 0x80) {
            if (FoldAscii(text[at + k]) != FoldAscii(needle[k]))
                return false;
            ++k;
            continue;
        }
        const size_t unit = LocalUnitAt(needle, k);
        if (std::memcmp(text.data() + at + k, needle.data() + k, unit) != 0)
            return false;
        k += unit;
    }
    return true;
}

size_t FindLocal(std::string_view text, std::string_view needle, size_t from, bool ignoreCase)
{
    constexpr size_t npos = std::string_view::npos;
    if (needle.empty() || from > text.size() || text.size() - from < needle.size())
        return npos;
    const char first = needle[0];
    const bool folds = ignoreCase && FoldAscii(first) >= 'a' && FoldAscii(first) <= 'z';
    const char lower = folds ? FoldAscii(first) : first;
    const char upper = folds ? static_cast<char>(lower - ('a' - 'A')) : first;
    const bool needsBoundary = !AlwaysUnitStart(static_cast<unsigned char>(first));
    const size_t end = text.size() - needle.size() + 1; // candidates lie below this
    // The next occurrence of each case of the first byte, searched again only once passed.
    auto nextOf = [&](char c, size_t at) {
        const void* hit = std::memchr(text.data() + at, c, end - at);
        return hit ? static_cast<size_t>(static_cast<const char*>(hit) - text.data()) : npos;
    };
    size_t nextLower = nextOf(lower, from);
    size_t nextUpper = folds ? nextOf(upper, from) : npos;
    size_t boundary = from; // a known unit start; every byte is walked at most twice
    while (true) {
        const size_t p = nextLower < nextUpper ? nextLower : nextUpper;
        if (p == npos)
            return npos;
        bool aligned = true;
        if (needsBoundary) {
            if (p >= boundary) {
                size_t j = p;
                while (j > boundary && !AlwaysUnitStart(static_cast<unsigned char>(text[j])))
                    --j;
                boundary = AdvanceUnits(text, j, p);
            }
            aligned = boundary == p;
        }
        if (aligned && MatchesAt(text, p, needle, ignoreCase))
            return p;
        if (p + 1 >= end)
            return npos;
        if (p == nextLower)
            nextLower = nextOf(lower, p + 1);
        if (p == nextUpper)
            nextUpper = nextOf(upper, p + 1);
    }
}

std::string LowerBytes(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = FoldAscii(c);
    return out;
}

} // namespace harvina
