#include "text/DecodeEntities.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "platform/Charset.h"
#include "text/LocalScan.h"
#include "text/ReplaceEach.h"
#include "text/ScratchText.h"

namespace harvina {
namespace {

struct EntityTable {
    std::vector<std::string> sources;
    std::vector<std::string> targets;
    std::array<std::vector<size_t>, 26> byLetter; // item indexes by the folded letter after "&"
};

// The two "|"-separated lists of 40 items, in table order; targets in local text.
const EntityTable& NamedEntities()
{
    static const EntityTable table = [] {
        static constexpr std::string_view kSources =
            "&amp;|&ndash;|&mdash;|&ldquo;|&rdquo;|&nbsp;|&lt;|&gt;|&quot;|&times;|&divide;|&middot;|"
            "&hellip;|&lsquo;|&rsquo;|&permil;|&prime;|&Prime;|&larr;|&uarr;|"
            "&rarr;|&darr;|&radic;|&prop;|&infin;|&ang;|&and;|&or;|&cap;|&cup;|&int;|&there4;|"
            "&sim;|&asymp;|&ne;|&equiv;|&le;|&ge;|&oplus;|&perp;";
        static constexpr std::string_view kTargets =
            "&|–|—|“|”| |<|>|\"|×|÷|·|…|‘|’|‰|′|″|←|↑|"
            "→|↓|√|∝|∞|∠|∧|∨|∩|∪|∫|∴|～|≈|≠|≡|≤|≥|⊕|⊥";
        EntityTable t;
        const std::string targets = LocalText(kTargets);
        for (std::string_view list : {std::string_view(kSources), std::string_view(targets)}) {
            std::vector<std::string>& items = t.sources.empty() ? t.sources : t.targets;
            size_t start = 0;
            for (size_t bar; (bar = list.find('|', start)) != std::string_view::npos; start = bar + 1)
                items.emplace_back(list.substr(start, bar - start));
            items.emplace_back(list.substr(start));
        }
        for (size_t k = 0; k < t.sources.size(); ++k)
            t.byLetter[static_cast<size_t>(FoldAscii(t.sources[k][1]) - 'a')].push_back(k);
        return t;
    }();
    return table;
}

// Index of the first table item (from `first` on) whose text after its "&" is
// written at `at`; -1 when none.
int EntityAt(std::string_view text, size_t at, size_t first)
{
    const EntityTable& table = NamedEntities();
    // Every name starts with a letter and ends with ";".
    if (at + 2 >= text.size() || FoldAscii(text[at]) < 'a' || FoldAscii(text[at]) > 'z')
        return -1;
    // Only the items of that first letter can match; they keep table order.
    for (const size_t k : table.byLetter[static_cast<size_t>(FoldAscii(text[at]) - 'a')]) {
        if (k >= first && MatchesAt(text, at, std::string_view(table.sources[k]).substr(1), true))
            return static_cast<int>(k);
    }
    return -1;
}

// The table applied item after item in one pass. Every source is "&name;", so at
// most one item (the first of equal spellings) takes a given "&"; only "&amp;"
// leaves an "&" that the items after it read together with the text that follows.
void DecodeNamed(std::string_view text, std::string& out)
{
    const EntityTable& table = NamedEntities();
    out.clear();
    out.reserve(text.size());
    size_t i = 0;
    while (true) {
        const size_t amp = text.find('&', i);
        if (amp == std::string_view::npos) {
            out.append(text, i, std::string_view::npos);
            return;
        }
        out.append(text, i, amp - i);
        const int k = EntityAt(text, amp + 1, 0);
        if (k < 0) {
            out += '&';
            i = amp + 1;
            continue;
        }
        i = amp + table.sources[static_cast<size_t>(k)].size();
        if (k == 0) {
            const int next = EntityAt(text, i, 1);
            if (next > 0) {
                out += table.targets[static_cast<size_t>(next)];
                i += table.sources[static_cast<size_t>(next)].size() - 1;
                continue;
            }
        }
        out += table.targets[static_cast<size_t>(k)];
    }
}

std::uint32_t LeadingDecimal(std::string_view digits)
{
    std::uint32_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            break;
        value = value * 10u + static_cast<std::uint32_t>(c - '0');
    }
    return value;
}

// The processed right part of the text as pieces, its front last, so that the
// reference being read can take bytes off its front cheaply.
class Tail {
public:
    void Prepend(std::string_view piece)
    {
        if (piece.empty())
            return;
        pieces_.push_back(piece);
        semicolons_ += static_cast<size_t>(std::count(piece.begin(), piece.end(), ';'));
    }
    [[nodiscard]] bool HasSemicolon() const { return semicolons_ > 0; }
    // Moves the front up to the first ";" onto `digits` and drops the ";".
    void TakeThroughSemicolon(std::string& digits)
    {
        while (true) {
            std::string_view& front = pieces_.back();
            const size_t at = front.find(';');
            if (at == std::string_view::npos) {
                digits += front;
                pieces_.pop_back();
                continue;
            }
            digits += front.substr(0, at);
            --semicolons_;
            front.remove_prefix(at + 1);
            if (front.empty())
                pieces_.pop_back();
            return;
        }
    }
    [[nodiscard]] std::string Text() const
    {
        size_t size = 0;
        for (std::string_view piece : pieces_)
            size += piece.size();
        std::string out;
        out.reserve(size);
        for (auto piece = pieces_.rbegin(); piece != pieces_.rend(); ++piece)
            out += *piece;
        return out;
    }

private:
    std::vector<std::string_view> pieces_; // views of the text or of decoded characters
    size_t semicolons_ = 0;
};

// The last "&#" starting at or before `last`, npos when none; rfind would compare at
// every position, memrchr jumps from one "&" to the one before.
size_t LastReferenceStart(std::string_view text, size_t last)
{
    size_t limit = std::min(last + 1, text.size());
    while (limit > 0) {
        const void* hit = memrchr(text.data(), '&', limit);
        if (!hit)
            return std::string_view::npos;
        const auto at = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
        if (at + 1 < text.size() && text[at + 1] == '#')
            return at;
        limit = at;
    }
    return std::string_view::npos;
}

// Numeric references from the end of the text towards its start; a reference's
// ";" may lie in text an earlier (righter) reference produced.
std::string DecodeNumeric(std::string_view text)
{
    // Node-based, so the decoded texts stay put while the tail points at them.
    std::unordered_map<std::uint32_t, std::string> decoded;
    auto decode = [&](std::string_view digits) -> std::string_view {
        std::uint32_t value = LeadingDecimal(digits);
        if (value == 0)
            value = static_cast<std::uint32_t>(HexValue(digits.empty() ? digits : digits.substr(1)));
        auto found = decoded.find(value);
        if (found == decoded.end())
            found = decoded.emplace(value, CodeUnitToText(static_cast<std::int32_t>(value))).first;
        return found->second;
    };
    Tail tail;
    size_t end = text.size(); // text[end..] is already in the tail
    while (end >= 2) {
        const size_t at = LastReferenceStart(text, end - 2);
        if (at == std::string_view::npos)
            break;
        const void* semi = std::memchr(text.data() + at + 2, ';', end - at - 2);
        if (semi) {
            const size_t s = static_cast<size_t>(static_cast<const char*>(semi) - text.data());
            tail.Prepend(text.substr(s + 1, end - s - 1));
            tail.Prepend(decode(text.substr(at + 2, s - at - 2)));
        } else if (tail.HasSemicolon()) {
            std::string digits(text.substr(at + 2, end - at - 2));
            tail.TakeThroughSemicolon(digits);
            tail.Prepend(decode(digits));
        } else {
            tail.Prepend(text.substr(at, end - at));
        }
        end = at;
    }
    tail.Prepend(text.substr(0, end));
    return tail.Text();
}

void AppendUtf8(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsHighSurrogate(std::uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(std::uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

} // namespace

std::string DecodeEntities(std::string_view text, bool namedOnly)
{
    ScratchText named;
    DecodeNamed(text, named.Text());
    if (namedOnly || named.Text().find("&#") == std::string::npos)
        return named.Text();
    return DecodeNumeric(named.Text());
}

std::int32_t HexValue(std::string_view text)
{
    static constexpr std::string_view kDigits = "0123456789ABCDEF";
    std::uint32_t value = 0;
    for (char c : text) {
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
        const size_t index = kDigits.find(upper);
        value = value * 16u + (index == std::string_view::npos ? static_cast<std::uint32_t>(-2) : static_cast<std::uint32_t>(index));
    }
    return static_cast<std::int32_t>(value);
}

std::string CodeUnitToText(std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    std::string utf8;
    if (bits >= 0x10000 && bits <= 0x10FFFF) {
        AppendUtf8(utf8, bits);
    } else {
        const std::uint32_t units[2] = {bits & 0xFFFF, bits >> 16};
        for (size_t k = 0; k < 2 && units[k] != 0; ++k) {
            const std::uint32_t u = units[k];
            if (k == 0 && IsHighSurrogate(u) && IsLowSurrogate(units[1])) {
                AppendUtf8(utf8, 0x10000 + ((u - 0xD800) << 10) + (units[1] - 0xDC00));
                break;
            }
            AppendUtf8(utf8, (IsHighSurrogate(u) || IsLowSurrogate(u)) ? '?' : u);
        }
    }
    if (utf8.size() == 1)
        return utf8;
    return LocalText(utf8);
}

} // namespace harvina
