#include "text/TextCleaner.h"

#include "platform/Charset.h"
#include "text/DecodeEntities.h"
#include "text/RegexMatcher.h"
#include "text/ReplaceEach.h"
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

    std::string out(text);
    if (!options.keepBreaks) {
        out = ReplaceEach(out, "<p|</p>|<br>|</ br>|</br>|<br />",
                          "\r\n<p|\r\n</p>|\r\n<br>|\r\n</ br>|\r\n</br>|\r\n<br />");
    }
    if (!options.keepAngleBrackets) {
        static const std::string kTargets = LocalText("Width＞|Height＞|Width＜|Height＜");
        out = ReplaceEach(out, "Width>|Height>|Width<|Height<", kTargets);
    }
    out = matcher.Replace(out);
    if (!options.keepEntities)
        out = DecodeEntities(out);
    return out;
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
