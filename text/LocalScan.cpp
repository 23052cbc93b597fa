#include "text/LocalScan.h"

#include <bit>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    size_t boundary = from; // a known unit start; every byte is walked at most twice
    for (size_t p = FindEitherByte(text, from, end, lower, upper); p != npos;
         p = FindEitherByte(text, p + 1, end, lower, upper)) {
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
    }
    return npos;
}

size_t FindEitherByte(std::string_view text, size_t from, size_t end, char a, char b)
{
    constexpr size_t npos = std::string_view::npos;
    if (from >= end)
        return npos;
    const char* data = text.data();
    if (a == b) {
        const void* hit = std::memchr(data + from, a, end - from);
        return hit ? static_cast<size_t>(static_cast<const char*>(hit) - data) : npos;
    }
    size_t i = from;
#if defined(__SSE2__)
    // One pass for both bytes: searching each apart re-reads the text up to the
    // other's next place after every candidate.
    const __m128i first = _mm_set1_epi8(a);
    const __m128i second = _mm_set1_epi8(b);
    for (; end - i >= 16; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, first), _mm_cmpeq_epi8(block, second)));
        if (mask != 0)
            return i + static_cast<size_t>(std::countr_zero(static_cast<unsigned>(mask)));
    }
#endif
    for (; i < end; ++i) {
        if (data[i] == a || data[i] == b)
            return i;
    }
    return npos;
}

std::string LowerBytes(std::string_view text)
{
    std::string out;
    LowerBytes(text, out);
    return out;
}

void LowerBytes(std::string_view text, std::string& out)
{
    out.assign(text);
    for (char& c : out)
        c = FoldAscii(c);
}

} // namespace harvina
