#include "text/TextCleaner.h"

#include <algorithm>

#include "platform/Charset.h"
#include "text/DecodeEntities.h"
#include "text/LocalScan.h"
#include "text/RegexMatcher.h"
#include "text/ReplaceEach.h"
#include "text/ScratchText.h"
#include "text/TagMask.h"
#include "text/TextBetween.h"

namespace harvina {
namespace {

// A matcher lives for one call: nothing is cached between operations.
std::string ApplyPattern(std::string_view pattern, std::string_view text, bool apply,
                         std::string_view replacement = {})
{
    RegexMatcher matcher;
    matcher.Create(pattern);
    if (!apply)
        return matcher.GetPattern();
    return matcher.Replace(text, replacement);
}

// Does lower-case ASCII `item`, whose "<" is at `at`, follow in `text` with A-Z folded?
bool StartsFolded(std::string_view text, size_t at, std::string_view item)
{
    if (text.size() - at < item.size())
        return false;
    for (size_t k = 1; k < item.size(); ++k) {
        if (FoldAscii(text[at + k]) != item[k])
            return false;
    }
    return true;
}

// The replacement of "<p|</p>|<br>|</ br>|</br>|<br />" by the same items after
// CR LF, in one pass: every item starts with the only "<" it holds, so each "<"
// gains at most one line break and no insertion can make or break another match.
// False, and `out` untouched, when the text has none of them.
bool BreakBeforeLineTags(std::string_view text, std::string& out)
{
    static constexpr std::string_view kItems[] = {"<p", "</p>", "<br>", "</ br>", "</br>", "<br />"};
    bool changed = false;
    size_t copied = 0;
    for (size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
        const char next = at + 1 < text.size() ? FoldAscii(text[at + 1]) : '\0';
        if (next != 'p' && next != 'b' && next != '/')
            continue;
        for (std::string_view item : kItems) {
            if (StartsFolded(text, at, item)) {
                if (!changed) {
                    out.clear();
                    out.reserve(text.size() + text.size() / 32);
                    changed = true;
                }
                out.append(text, copied, at - copied);
                out += "\r\n";
                copied = at;
                break;
            }
        }
    }
    if (changed)
        out.append(text, copied, std::string_view::npos);
    return changed;
}

// The replacement of "Width>|Height>|Width<|Height<" by "Width＞|Height＞|Width＜|Height＜"
// in one pass: the brackets are the only places a match can end, and replacing one
// neither makes nor breaks another. False, and `out` untouched, when none is there.
bool GuardSizeComparisons(std::string_view text, std::string& out)
{
    static const std::string kGreater = LocalText("＞");
    static const std::string kLess = LocalText("＜");
    size_t copied = 0;
    size_t unitStart = 0; // just past the previous bracket: a unit boundary before any word
    constexpr size_t npos = std::string_view::npos;
    size_t nextLess = text.find('<');
    size_t nextGreater = text.find('>');
    while (nextLess != npos || nextGreater != npos) {
        const size_t at = std::min(nextLess, nextGreater);
        const char bracket = text[at];
        if (at == nextLess)
            nextLess = text.find('<', at + 1);
        else
            nextGreater = text.find('>', at + 1);
        // Both words end in a letter that the bracket must follow.
        const char last = at > 0 ? FoldAscii(text[at - 1]) : '\0';
        if (last != 'h' && last != 't') {
            unitStart = at + 1;
            continue;
        }
        for (std::string_view word : {std::string_view("Width"), std::string_view("Height")}) {
            const size_t start = at - word.size();
            if (at < unitStart + word.size() || !MatchesAt(text, start, word, true) ||
                AdvanceUnits(text, unitStart, start) != start)
                continue;
            if (copied == 0) {
                out.clear();
                out.reserve(text.size() + 64);
            }
            out.append(text, copied, start - copied);
            out += word;
            out += bracket == '>' ? kGreater : kLess;
            copied = at + 1;
            break;
        }
        unitStart = at + 1;
    }
    if (copied == 0)
        return false;
    out.append(text, copied, std::string_view::npos);
    return true;
}

std::string WithExtra(std::string_view list, std::string_view extra)
{
    std::string out(list);
    if (!extra.empty()) {
        out += '|';
        out += extra;
    }
    return out;
}

} // namespace

std::string TextCleaner::NormalizeParagraphs(std::string_view text, bool apply) const
{
    static const std::string kPattern = LocalText("^[ 　\\t]*$\\r\\n");
    if (!apply)
        return ApplyPattern(kPattern, text, false);
    const std::string lines = ApplyPattern(kPattern, NormalizeLineBreaks(text), true);
    return ReplaceEach(lines, "\r\n", "\r\n\r\n", {.caseSensitive = true});
}

std::string TextCleaner::RemoveUrls(std::string_view text, bool apply) const
{
    static const std::string kPattern = LocalText(R"re(([a-zA-z]+://|www.)[^\u4e00-\u9fa5\s'<>"]+)re");
    return ApplyPattern(kPattern, text, apply);
}

std::string TextCleaner::KeepWordChars(std::string_view text, bool apply) const
{
    return ApplyPattern(R"re([^\w\-\,\.])re", text, apply);
}

std::string TextCleaner::KeepHanziAndAlnum(std::string_view text, bool apply) const
{
    return ApplyPattern(R"re([^\u4e00-\u9fa5a-zA-Z\d])re", text, apply);
}

std::string TextCleaner::ConvertPunctuation(std::string_view text, bool toFullWidth, std::string_view extraSources,
                                            std::string_view extraTargets) const
{
    if (!toFullWidth) {
        static const std::string kSources = LocalText("，|。|；|：|？|！|‘|’|“|”");
        static const std::string kTargets = ",|.|;|:|?|!|'|'|\"|\"";
        return ReplaceEach(text, WithExtra(kSources, extraSources), WithExtra(kTargets, extraTargets));
    }
    static const std::string kSources = LocalText(",|. |.|;|:|?|!|．");
    static const std::string kTargets = LocalText("，|。|。|；|：|？|！|。");
    static const std::string kGuardPoints = LocalText(R"re((\d+)([\.．])(\d+))re");
    static const std::string kGuarded = LocalText("$1⊥$3");
    static const std::string kGuardedPoints = LocalText(R"re((\d+)⊥(\d+))re");
    static const std::string kDoubleQuoted = LocalText("“$1”");
    static const std::string kSingleQuoted = LocalText("‘$1’");

    TagMask mask;
    std::string out = mask.Mask(text);
    out = ApplyPattern(kGuardPoints, out, true, kGuarded);
    out = ReplaceEach(out, WithExtra(kSources, extraSources), WithExtra(kTargets, extraTargets));
    out = ApplyPattern(kGuardedPoints, out, true, "$1.$2");
    out = ApplyPattern(R"re("([^"]+)")re", out, true, kDoubleQuoted);
    out = ApplyPattern(R"re('([^']+)')re", out, true, kSingleQuoted);
    return mask.Restore(out);
}

std::string TextCleaner::HtmlToText(std::string_view text, bool apply, const HtmlToTextOptions& options) const
{
    static constexpr std::string_view kTag = R"re(<[\s\S]+?>)re";
    static constexpr std::string_view kLinkOrTag = R"re(<a[\s\S]+?>[\s\S]+?/a>|<[\s\S]+?>)re";
    RegexMatcher matcher;
    matcher.Create(options.removeLinks ? kLinkOrTag : kTag);
    if (!apply)
        return matcher.GetPattern();

    // Each step reads the latest text and writes a new one only when it changes
    // something, into buffers the thread keeps for the next page.
    std::string_view current = text;
    ScratchText broken;
    ScratchText guarded;
    if (!options.keepBreaks && BreakBeforeLineTags(current, broken.Text()))
        current = broken.Text();
    if (!options.keepAngleBrackets && GuardSizeComparisons(current, guarded.Text()))
        current = guarded.Text();
    if (options.keepEntities)
        return matcher.Replace(current);
    ScratchText plain;
    matcher.Replace(current, {}, plain.Text());
    return DecodeEntities(plain.Text());
}

std::string TextCleaner::UnwrapLinks(std::string_view text, bool apply) const
{
    return ApplyPattern(R"re(<a[\s\S]+?>|</a>)re", text, apply);
}

std::string TextCleaner::RemoveNonContent(std::string_view text, bool apply) const
{
    static constexpr std::string_view kPattern =
        R"re(<input[^<]*>|<head[\s\S]*?>[\s\S]*?/head>|<button[\s\S]*?>[\s\S]*?/button>|)re"
        R"re(<select[\s\S]*?>[\s\S]*?/select>|<script[\s\S]*?>[\s\S]*?/script>|<style[\s\S]*?>[\s\S]*?/style>|)re"
        R"re(<object[\s\S]*?>[\s\S]*?/object>|<textarea[\s\S]+?>|</textarea>)re";
    return ApplyPattern(kPattern, text, apply);
}

std::string TextCleaner::RemoveComments(std::string_view text, bool apply) const
{
    return ApplyPattern(R"re(<!--[^\r\n]*?-->|/\*[\s\S]*?\*/)re", text, apply);
}

std::string TextCleaner::RemoveWhitespace(std::string_view text, bool apply) const
{
    static const std::string kPattern = LocalText("\\s|　");
    return ApplyPattern(kPattern, text, apply);
}

std::string TextCleaner::TrimLines(std::string_view text, bool apply) const
{
    static const std::string kPattern = LocalText(R"re(^[　 \t]*$(\r\n)|^[ 　\t]+|[ 　\t]+$)re");
    return ApplyPattern(kPattern, text, apply);
}

std::string TextCleaner::JoinLines(std::string_view text, bool apply) const
{
    static const std::string kPattern =
        ExpandQuotes(LocalText(R"re(^[　 ''\t]+$(\r\n)|^[ 　''\t]+|[ 　''\t]+$|\r|\n|\t)re"));
    return ApplyPattern(kPattern, text, apply);
}

std::string TextCleaner::StripTitleSuffix(std::string_view text) const
{
    static const std::string kPattern = LocalText("(.+?)(-|_|—).+");
    return ApplyPattern(kPattern, text, true, "$1");
}

std::string TextCleaner::RemoveLinks(std::string_view text, bool apply) const
{
    return ApplyPattern(R"re(<a[\s\S]+?>[\s\S]+?/a>)re", text, apply);
}

} // namespace harvina
