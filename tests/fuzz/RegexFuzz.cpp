// RegexMatcher running the system's own patterns over random texts: Execute, the
// match readers, and Replace with the replacements the system uses. Escaped random
// text must match itself.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "engine/DomainFilter.h"
#include "platform/Charset.h"
#include "platform/RegexSubject.h"
#include "tests/fuzz/FuzzHost.h"
#include "text/RegexMatcher.h"
#include "text/TextCleaner.h"

using namespace harvina;

namespace {

const std::vector<std::string>& SystemPatterns()
{
    static const std::vector<std::string> patterns = [] {
        const TextCleaner cleaner;
        HtmlToTextOptions withLinks;
        withLinks.removeLinks = true;
        return std::vector<std::string>{
            AddressPattern(),
            CleanupPattern(),
            LocalText("[\\s　]{0,10}=[\\s　]{0,10}"), // the markup reader's blanks around "="
            cleaner.NormalizeParagraphs("", false),
            cleaner.RemoveUrls("", false),
            cleaner.KeepWordChars("", false),
            cleaner.KeepHanziAndAlnum("", false),
            cleaner.HtmlToText("", false),
            cleaner.HtmlToText("", false, withLinks),
            cleaner.UnwrapLinks("", false),
            cleaner.RemoveNonContent("", false),
            cleaner.RemoveComments("", false),
            cleaner.RemoveWhitespace("", false),
            cleaner.TrimLines("", false),
            cleaner.JoinLines("", false),
            cleaner.RemoveLinks("", false),
            LocalText("(.+?)(-|_|—).+"),           // title suffix
            LocalText("(\\d+)([\\.．])(\\d+)"),   // points between digits
            LocalText("(\\d+)⊥(\\d+)"),
            "\"([^\"]+)\"",
            "'([^']+)'",
        };
    }();
    return patterns;
}

const std::vector<std::string>& Replacements()
{
    static const std::vector<std::string> replacements = {
        "", "=", "$1", "$1.$2", LocalText("$1⊥$3"), LocalText("“$1”"), "$&|$`|$'|$$|$9|$10|$", "\r\n",
    };
    return replacements;
}

void ReadMatches(const RegexMatcher& matcher, const std::string& text, int count)
{
    const RegexSubject subject(text);
    int lastOffset = -1;
    for (int i = 0; i <= count + 1; ++i) {
        int offset = -7;
        const std::string match = matcher.MatchTextAt(i, &offset);
        if (i < 1 || i > count) {
            if (!match.empty() || !matcher.SubMatchText(i, 1).empty())
                fuzz::Fail("match text outside 1..count", match);
            continue;
        }
        if (match != matcher.MatchText(i))
            fuzz::Fail("MatchTextAt and MatchText differ", match);
        if (offset < lastOffset || static_cast<size_t>(offset) > subject.Length())
            fuzz::Fail("match offsets out of order or out of the subject", text);
        lastOffset = offset;
        // Match texts are cut from the subject's own bytes at its character offsets.
        const size_t at = subject.ByteOffset(static_cast<size_t>(offset));
        if (text.compare(at, match.size(), match) != 0)
            fuzz::Fail("match text is not the subject's bytes at its offset", match);
        for (int j = 0; j <= matcher.SubMatchCount() + 1; ++j) {
            int subOffset = -7;
            const std::string group = matcher.SubMatchTextAt(i, j, &subOffset);
            if (j >= 1 && subOffset != offset)
                fuzz::Fail("group offset is not its match's offset", group);
            if (group.size() > text.size())
                fuzz::Fail("group longer than the subject", group);
        }
    }
}

// Every character decodes, and none is the replacement character.
bool IsWellFormed(const std::string& text)
{
    return LocalText(Utf8Text(text)) == text && LocalToCodePoints(text).find(U'\uFFFD') == std::u32string::npos;
}

void CheckEscapes(const std::string& literal)
{
    RegexMatcher matcher;
    using Escape = std::string (*)(std::string_view);
    for (const Escape escape : {Escape{&RegexMatcher::EscapeAll}, Escape{&RegexMatcher::EscapeKeepBars},
                                Escape{&RegexMatcher::EscapeKeepGroups}, Escape{&RegexMatcher::WildcardToPattern}}) {
        (void)matcher.Create(escape(literal));
        (void)matcher.Execute(literal);
    }
    // Escaped text stands for itself: its first match in itself is all of it. Only for
    // well-formed text: a backslash put after a stray lead byte joins it into a character.
    if (literal.empty() || !IsWellFormed(literal))
        return;
    const std::string escaped = RegexMatcher::EscapeAll(literal);
    if (!matcher.Create(escaped))
        fuzz::Fail("EscapeAll of a text does not compile", literal);
    if (matcher.Execute(literal) < 1 || matcher.MatchText(1) != literal)
        fuzz::Fail("EscapeAll of a text does not match that text", literal);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::vector<std::string>& patterns = SystemPatterns();
    const std::string& pattern = patterns[in.ConsumeIntegralInRange<size_t>(0, patterns.size() - 1)];
    const bool ignoreCase = in.ConsumeBool();
    const bool multiline = in.ConsumeBool();
    const bool global = in.ConsumeBool();
    const std::vector<std::string>& replacements = Replacements();
    const size_t pick = in.ConsumeIntegralInRange<size_t>(0, replacements.size());
    const std::string randomReplacement = in.ConsumeRandomLengthString(16);
    const std::string& replacement = pick < replacements.size() ? replacements[pick] : randomReplacement;
    const std::string literal = in.ConsumeRandomLengthString(64);
    const std::string text = in.ConsumeRemainingBytesAsString();

    RegexMatcher matcher;
    if (!matcher.Create(pattern, ignoreCase, multiline, global))
        fuzz::Fail("a system pattern does not compile", pattern);
    if (matcher.GetPattern() != pattern)
        fuzz::Fail("GetPattern differs from the pattern", pattern);
    const int count = matcher.Execute(text);
    if (count != matcher.MatchCount() || count < 0 || (!global && count > 1))
        fuzz::Fail("Execute and MatchCount disagree", text);
    ReadMatches(matcher, text, count);
    const std::string replaced = matcher.Replace(text, replacement);
    if (count == 0 && replaced != text)
        fuzz::Fail("Replace changed a text without matches", text);
    if (replacement.empty() && replaced.size() > text.size())
        fuzz::Fail("Replace by nothing grew the text", text);
    CheckEscapes(literal);
    return 0;
}
