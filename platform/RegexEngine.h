#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace harvina {

// The regular-expression engine (PCRE2, 32-bit code units, JIT where available) in
// the dialect the system's patterns are written in: ^ and $ at every line when
// multiline, lines ending at CR, LF or CR LF, a dot that matches neither, ASCII
// \s \w \d, \uXXXX code points, unknown escapes as literals, ASCII case folding.
class RegexEngine {
public:
    static constexpr size_t kUnset = static_cast<size_t>(-1);

    // How far one search may read ahead and how much work it may do; see Find.
    struct Bounds {
        size_t firstWindow;
        size_t maxWindow;
        unsigned stepsPerChar;
        unsigned baseSteps;
    };
    static constexpr Bounds kDefaultBounds{1024, 65536, 256, 200000};
    // Plain unbounded searching, for comparison only.
    static constexpr Bounds kUnbounded{static_cast<size_t>(-1) / 4, static_cast<size_t>(-1) / 4, 0, 0};

    RegexEngine();
    ~RegexEngine();
    RegexEngine(RegexEngine&&) noexcept;
    RegexEngine& operator=(RegexEngine&&) noexcept;
    RegexEngine(const RegexEngine&) = delete;
    RegexEngine& operator=(const RegexEngine&) = delete;

    // Replaces any earlier pattern; false (and no pattern) when it does not compile.
    [[nodiscard]] bool Compile(std::u32string_view pattern, bool ignoreCase, bool multiline);
    [[nodiscard]] bool Compiled() const;
    [[nodiscard]] int CaptureCount() const;
    void SetBounds(const Bounds& bounds);

    // The first match starting at or after character `from`. `spans` receives begin and
    // end of the match and of each group (kUnset for a group that did not take part).
    [[nodiscard]] bool Find(std::u32string_view subject, size_t from, std::vector<size_t>& spans);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace harvina
