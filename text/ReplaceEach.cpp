#include "text/ReplaceEach.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "text/LocalScan.h"

namespace harvina {
namespace {

// Past this size an item stops replacing and the rest of the text stays as it is.
constexpr size_t kMaxResultBytes = size_t{1} << 30;
#if defined(__SSE2__)
constexpr size_t kBlock = 16;
#endif

std::vector<std::string_view> SplitList(std::string_view list, std::string_view separator)
{
    std::vector<std::string_view> items;
    size_t start = 0;
    while (true) {
        const size_t at = list.find(separator, start);
        if (at == std::string_view::npos) {
            items.push_back(list.substr(start));
            return items;
        }
        items.push_back(list.substr(start, at - start));
        start = at + separator.size();
    }
}

bool ReplaceSearched(std::string_view text, std::string_view source, std::string_view target, bool ignoreCase,
                     int count, std::string& out);

size_t CountByte(std::string_view text, char byte)
{
    size_t count = 0;
    size_t i = 0;
#if defined(__SSE2__)
    // Per-lane tallies of matches (each -1), summed before any lane can wrap.
    const __m128i wanted = _mm_set1_epi8(byte);
    const __m128i zero = _mm_setzero_si128();
    while (text.size() - i >= kBlock) {
        __m128i tally = zero;
        for (int round = 0; round < 255 && text.size() - i >= kBlock; ++round, i += kBlock) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
            tally = _mm_sub_epi8(tally, _mm_cmpeq_epi8(block, wanted));
        }
        const __m128i sums = _mm_sad_epu8(tally, zero);
        count += static_cast<size_t>(_mm_cvtsi128_si32(sums)) + static_cast<size_t>(_mm_extract_epi16(sums, 4));
    }
#endif
    for (; i < text.size(); ++i)
        count += text[i] == byte ? 1 : 0;
    return count;
}

// A lone byte that never lies inside a character and has no case: plain scanning.
bool ReplaceByte(std::string_view text, char source, std::string_view target, std::string& out)
{
    const size_t count = CountByte(text, source);
    if (count == 0)
        return false;
    if (text.size() - count + count * target.size() > kMaxResultBytes)
        return ReplaceSearched(text, std::string_view(&source, 1), target, false, 0, out);
    const size_t size = text.size() - count + count * target.size();
    const char* const begin = text.data();
    const char* const end = begin + text.size();
#if defined(__SSE2__)
    if (target.size() <= kBlock) {
        // Sixteen bytes at a time, each block stored whole and the target over its
        // tail at the first match: the buffer has one block of room past the result.
        out.assign(size + kBlock, '\0');
        char padded[kBlock] = {};
        if (!target.empty())
            std::memcpy(padded, target.data(), target.size());
        const __m128i targetBlock = _mm_loadu_si128(reinterpret_cast<const __m128i*>(padded));
        const __m128i wanted = _mm_set1_epi8(source);
        char* write = out.data();
        const char* read = begin;
        while (end - read >= static_cast<std::ptrdiff_t>(kBlock)) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(read));
            const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, wanted)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(write), block);
            if (mask == 0) {
                read += kBlock;
                write += kBlock;
                continue;
            }
            const auto before = static_cast<size_t>(std::countr_zero(mask));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(write + before), targetBlock);
            read += before + 1;
            write += before + target.size();
        }
        for (; read < end; ++read) {
            if (*read != source) {
                *write++ = *read;
                continue;
            }
            if (!target.empty())
                std::memcpy(write, target.data(), target.size());
            write += target.size();
        }
        out.resize(size);
        return true;
    }
#endif
    out.clear();
    out.reserve(size);
    const char* copied = begin;
    while (const void* hit = std::memchr(copied, source, static_cast<size_t>(end - copied))) {
        const char* at = static_cast<const char*>(hit);
        out.append(copied, at);
        out.append(target);
        copied = at + 1;
    }
    out.append(copied, end);
    return true;
}

// One item over the whole text into `out`; false (and `out` untouched) when absent.
bool ReplaceSearched(std::string_view text, std::string_view source, std::string_view target, bool ignoreCase,
                     int count, std::string& out)
{
    size_t at = FindLocal(text, source, 0, ignoreCase);
    if (at == std::string_view::npos)
        return false;
    out.clear();
    out.reserve(text.size() + (target.size() > source.size() ? text.size() / 8 : 0));
    size_t copied = 0;
    int done = 0;
    while (at != std::string_view::npos && out.size() <= kMaxResultBytes) {
        out.append(text, copied, at - copied);
        out.append(target);
        copied = at + source.size();
        if (count > 0 && ++done >= count)
            break;
        at = FindLocal(text, source, copied, ignoreCase);
    }
    out.append(text, copied, std::string::npos);
    return true;
}

bool ReplaceItem(std::string_view text, std::string_view source, std::string_view target, bool ignoreCase,
                 int count, std::string& out)
{
    if (source.size() == 1 && AlwaysUnitStart(static_cast<unsigned char>(source[0])) && count <= 0)
        return ReplaceByte(text, source[0], target, out);
    return ReplaceSearched(text, source, target, ignoreCase, count, out);
}

} // namespace

std::string ReplaceEach(std::string_view text, std::string_view sources, std::string_view targets,
                        const ReplaceOptions& options)
{
    const std::string_view separator = options.separator.empty() ? std::string_view("|") : options.separator;
    const std::vector<std::string_view> from = SplitList(sources, separator);
    std::vector<std::string_view> to = SplitList(targets, separator);
    to.resize(from.size());
    // The text is copied only once an item changes it.
    std::string result;
    std::string next;
    bool changed = false;
    for (size_t i = 0; i < from.size(); ++i) {
        if (from[i].empty())
            continue;
        const std::string_view target = options.fillFromFirst && to[i].empty() ? to[0] : to[i];
        if (ReplaceItem(changed ? std::string_view(result) : text, from[i], target, !options.caseSensitive,
                        options.count, next)) {
            result.swap(next);
            changed = true;
        }
    }
    if (!changed)
        return std::string(text);
    return result;
}

std::string NormalizeLineBreaks(std::string_view text)
{
    // One pass does what the four replacements via "[#rn#]" do: every CR LF, lone
    // CR, lone LF and literal placeholder becomes CR LF, and no placeholder can
    // form across a replaced break since it neither starts nor ends with one.
    static constexpr std::string_view kPlaceholder = "[#rn#]";
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        } else if (c == '[' && text.compare(i, kPlaceholder.size(), kPlaceholder) == 0) {
            out += "\r\n";
            i += kPlaceholder.size();
        } else {
            const size_t unit = static_cast<unsigned char>(c) < 0x80 ? 1 : LocalUnitAt(text, i);
            out.append(text, i, unit);
            i += unit;
        }
    }
    return out;
}

} // namespace harvina
