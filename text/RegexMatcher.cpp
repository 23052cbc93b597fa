#include "text/RegexMatcher.h"

#include "platform/RegexEngine.h"
#include "platform/RegexSubject.h"
#include "text/TextSearch.h"

#include <vector>

namespace harvina {
namespace {

// Caps on what one run may produce.
constexpr size_t kMaxSubjectBytes = size_t{1} << 30;
constexpr size_t kMaxMatches = size_t{1} << 20;
constexpr size_t kMaxReplaceBytes = size_t{1} << 28;

std::string EscapeSet(std::string_view text, std::string_view set)
{
    std::string out(text);
    // Escaping goes set character by set character; the backslash leads every set, so
    // backslashes added later are never doubled. Double-byte characters are stepped
    // over whole: a trail byte such as 0x5C or 0x7C is not the character it looks like.
    for (const char c : set) {
        std::string next;
        next.reserve(out.size() + 8);
        for (size_t i = 0; i < out.size();) {
            const size_t length = LocalUnitLength(out, i);
            if (length == 1 && out[i] == c)
                next += '\\';
            next.append(out, i, length);
            i += length;
        }
        out.swap(next);
    }
    return out;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, from.size(), from) == 0) {
            out += to;
            i += from.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

struct RegexMatcher::Impl {
    RegexEngine engine;
    std::string pattern;
    bool created = false;
    bool global = true;

    RegexSubject subject;          // of the last Execute
    std::vector<size_t> spans;     // per match: (captures + 1) begin/end pairs, in characters
    size_t pairsPerMatch = 1;
    size_t matchCount = 0;

    // Calls `each(spans)` for every match the flags ask for, in order.
    template <typename Each>
    void ForEachMatch(const RegexSubject& text, size_t maxMatches, Each&& each)
    {
        const std::u32string& units = text.CodePoints();
        std::vector<size_t> found;
        size_t from = 0;
        for (size_t count = 0; count < maxMatches && from <= units.size(); ++count) {
            if (!engine.Find(units, from, found))
                return;
            if (!each(found) || !global)
                return;
            // An empty match moves the next search on by one character.
            from = found[1] > found[0] ? found[1] : found[0] + 1;
        }
    }

    std::string Group(size_t match, size_t group) const
    {
        const size_t at = (match * pairsPerMatch + group) * 2;
        if (match >= matchCount || group >= pairsPerMatch || spans[at] == RegexEngine::kUnset)
            return {};
        return std::string(subject.Slice(spans[at], spans[at + 1]));
    }

    int FirstIndex(size_t match) const
    {
        return match < matchCount ? static_cast<int>(spans[match * pairsPerMatch * 2]) : 0;
    }
};

RegexMatcher::RegexMatcher() : impl_(std::make_unique<Impl>()) {}
RegexMatcher::~RegexMatcher() = default;
RegexMatcher::RegexMatcher(RegexMatcher&&) noexcept = default;
RegexMatcher& RegexMatcher::operator=(RegexMatcher&&) noexcept = default;

std::string RegexMatcher::WildcardToPattern(std::string_view text)
{
    std::string out = EscapeSet(text, "\\^$+.{}[]=()-\"");
    out = ReplaceAll(out, "*", ".*");
    return ReplaceAll(out, "?", ".?");
}

std::string RegexMatcher::EscapeAll(std::string_view text) { return EscapeSet(text, "\\^$+.{}[]=()?*|\""); }

std::string RegexMatcher::EscapeKeepBars(std::string_view text) { return EscapeSet(text, "\\^$+.{}[]=()?*\""); }

std::string RegexMatcher::EscapeKeepGroups(std::string_view text) { return EscapeSet(text, "\\^$+.{}[]=?*\""); }

bool RegexMatcher::Create(std::string_view pattern, bool ignoreCase, bool multiline, bool global)
{
    impl_->pattern = std::string(pattern);
    impl_->created = true;
    impl_->global = global;
    impl_->spans.clear();
    impl_->matchCount = 0;
    impl_->subject = RegexSubject();
    return impl_->engine.Compile(LocalToCodePoints(pattern), ignoreCase, multiline);
}

int RegexMatcher::Execute(std::string_view text)
{
    Impl& d = *impl_;
    d.spans.clear();
    d.matchCount = 0;
    d.subject = RegexSubject();
    if (!d.engine.Compiled() || text.size() > kMaxSubjectBytes)
        return 0;
    d.subject = RegexSubject(text);
    d.pairsPerMatch = static_cast<size_t>(d.engine.CaptureCount()) + 1;
    d.ForEachMatch(d.subject, kMaxMatches, [&d](const std::vector<size_t>& found) {
        d.spans.insert(d.spans.end(), found.begin(), found.end());
        ++d.matchCount;
        return true;
    });
    return MatchCount();
}

// The pattern as given, even one that did not compile: the instance exists once created.
std::string RegexMatcher::GetPattern() const { return impl_->created ? impl_->pattern : std::string(); }

// $1..$99 name groups (two digits when that group exists), $& the match, $` and $'
// the text before and after it, $$ a dollar; any other $ stays as written.
std::string RegexMatcher::Replace(std::string_view text, std::string_view replacement)
{
    std::string out;
    Replace(text, replacement, out);
    return out;
}

void RegexMatcher::Replace(std::string_view text, std::string_view replacement, std::string& out)
{
    Impl& d = *impl_;
    // Without a usable pattern nothing matches, so the text comes back unchanged.
    if (!d.engine.Compiled() || text.size() > kMaxSubjectBytes) {
        out.assign(text);
        return;
    }
    const RegexSubject subject = RegexSubject::Borrowing(text);
    const int captures = d.engine.CaptureCount();
    out.clear();
    out.reserve(text.size());
    size_t copied = 0; // characters of the subject already in `out`
    // Past the output cap the rest of the text stays as it is.
    d.ForEachMatch(subject, static_cast<size_t>(-1), [&](const std::vector<size_t>& found) {
        if (out.size() > kMaxReplaceBytes)
            return false;
        out += subject.Slice(copied, found[0]);
        auto group = [&](int g) {
            if (found[2 * g] != RegexEngine::kUnset)
                out += subject.Slice(found[2 * g], found[2 * g + 1]);
        };
        for (size_t i = 0; i < replacement.size(); ++i) {
            const char c = replacement[i];
            if (static_cast<unsigned char>(c) >= 0x80 && i + 1 < replacement.size()) {
                out += c;
                out += replacement[++i];
                continue;
            }
            if (c != '$' || i + 1 == replacement.size()) {
                out += c;
                continue;
            }
            const char next = replacement[i + 1];
            if (next == '$') {
                out += '$';
                ++i;
            } else if (next == '&') {
                group(0);
                ++i;
            } else if (next == '`') {
                out += subject.Slice(0, found[0]);
                ++i;
            } else if (next == '\'') {
                out += subject.Slice(found[1], subject.Length());
                ++i;
            } else if (IsDigit(next)) {
                int g = next - '0';
                size_t used = 1;
                if (i + 2 < replacement.size() && IsDigit(replacement[i + 2])) {
                    const int two = g * 10 + (replacement[i + 2] - '0');
                    if (two >= 1 && two <= captures) {
                        g = two;
                        used = 2;
                    }
                }
                if (g >= 1 && g <= captures) {
                    group(g);
                    i += used;
                } else {
                    out += c;
                }
            } else {
                out += c;
            }
        }
        copied = found[1];
        return true;
    });
    out += subject.Slice(copied, subject.Length());
}

int RegexMatcher::MatchCount() const { return static_cast<int>(impl_->matchCount); }

std::string RegexMatcher::MatchText(int i) const { return i >= 1 ? impl_->Group(static_cast<size_t>(i - 1), 0) : ""; }

std::string RegexMatcher::SubMatchText(int i, int j) const
{
    if (i < 1 || j < 1)
        return {};
    return impl_->Group(static_cast<size_t>(i - 1), static_cast<size_t>(j));
}

int RegexMatcher::SubMatchCount() const
{
    return impl_->matchCount > 0 ? static_cast<int>(impl_->pairsPerMatch - 1) : 0;
}

std::string RegexMatcher::MatchTextAt(int i, int* offset) const
{
    if (offset && i >= 1)
        *offset = impl_->FirstIndex(static_cast<size_t>(i - 1));
    return MatchText(i);
}

std::string RegexMatcher::SubMatchTextAt(int i, int j, int* offset) const
{
    if (offset && i >= 1)
        *offset = impl_->FirstIndex(static_cast<size_t>(i - 1));
    return SubMatchText(i, j);
}

} // namespace harvina
