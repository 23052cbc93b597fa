#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace harvina {

// The system's only access to regular expressions. Subjects, patterns and results
// are local texts (GB18030); matching works on characters, not bytes, and match
// offsets are counted in characters. One matcher belongs to one thread.
class RegexMatcher {
public:
    RegexMatcher();
    ~RegexMatcher();
    RegexMatcher(RegexMatcher&&) noexcept;
    RegexMatcher& operator=(RegexMatcher&&) noexcept;
    RegexMatcher(const RegexMatcher&) = delete;
    RegexMatcher& operator=(const RegexMatcher&) = delete;

    [[nodiscard]] static std::string WildcardToPattern(std::string_view text);
    [[nodiscard]] static std::string EscapeAll(std::string_view text);
    [[nodiscard]] static std::string EscapeKeepBars(std::string_view text);
    [[nodiscard]] static std::string EscapeKeepGroups(std::string_view text);

    // Replaces any earlier instance. Returns whether the pattern compiled.
    bool Create(std::string_view pattern, bool ignoreCase = true, bool multiline = true, bool global = true);
    // Runs the pattern over `text`, keeps the matches, returns their count.
    int Execute(std::string_view text);
    [[nodiscard]] std::string GetPattern() const;
    // Every match (or the first, without global) replaced; $1..$9 name groups.
    [[nodiscard]] std::string Replace(std::string_view text, std::string_view replacement = {});
    // The same into `out` (replaced whole, and not holding `text`), which keeps its
    // capacity for the result.
    void Replace(std::string_view text, std::string_view replacement, std::string& out);
    [[nodiscard]] int MatchCount() const;
    [[nodiscard]] std::string MatchText(int i) const;                 // 1-based
    [[nodiscard]] std::string SubMatchText(int i, int j) const;       // both 1-based
    [[nodiscard]] int SubMatchCount() const;                          // of the first match
    [[nodiscard]] std::string MatchTextAt(int i, int* offset) const;  // offset: 0-based, in characters
    [[nodiscard]] std::string SubMatchTextAt(int i, int j, int* offset) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace harvina
