#pragma once

#include <string>
#include <string_view>

namespace harvina {

// Options of TextCleaner::HtmlToText; every one is off unless the caller asks.
struct HtmlToTextOptions {
    bool removeLinks = false;       // whole anchors go, text included
    bool keepBreaks = false;        // no line break before p and br tags
    bool keepAngleBrackets = false; // leave "width>" and the like alone
    bool keepEntities = false;      // no entity decoding at the end
};

// HTML to plain text, one fixed regular expression per operation. Texts are local
// (GB18030) byte strings. With `apply` clear an operation returns its pattern and
// leaves the text alone. The class holds nothing: every call builds its own matcher.
class TextCleaner {
public:
    [[nodiscard]] std::string NormalizeParagraphs(std::string_view text, bool apply) const;
    [[nodiscard]] std::string RemoveUrls(std::string_view text, bool apply) const;
    [[nodiscard]] std::string KeepWordChars(std::string_view text, bool apply) const;
    [[nodiscard]] std::string KeepHanziAndAlnum(std::string_view text, bool apply) const;
    // toFullWidth: half-width punctuation to full-width outside tags; else back.
    // Extra items are "|"-separated lists appended to the built-in ones.
    [[nodiscard]] std::string ConvertPunctuation(std::string_view text, bool toFullWidth,
                                                 std::string_view extraSources = {},
                                                 std::string_view extraTargets = {}) const;
    [[nodiscard]] std::string HtmlToText(std::string_view text, bool apply,
                                         const HtmlToTextOptions& options = {}) const;
    [[nodiscard]] std::string UnwrapLinks(std::string_view text, bool apply) const;
    [[nodiscard]] std::string RemoveNonContent(std::string_view text, bool apply) const;
    [[nodiscard]] std::string RemoveComments(std::string_view text, bool apply) const;
    [[nodiscard]] std::string RemoveWhitespace(std::string_view text, bool apply) const;
    [[nodiscard]] std::string TrimLines(std::string_view text, bool apply) const;
    [[nodiscard]] std::string JoinLines(std::string_view text, bool apply) const;
    // Always applies: "title - site" becomes "title ".
    [[nodiscard]] std::string StripTitleSuffix(std::string_view text) const;
    [[nodiscard]] std::string RemoveLinks(std::string_view text, bool apply) const;
};

} // namespace harvina
