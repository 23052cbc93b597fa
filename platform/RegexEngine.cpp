#define PCRE2_CODE_UNIT_WIDTH 32
#include "platform/RegexEngine.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <pcre2.h>

namespace harvina {
namespace {

constexpr PCRE2_SIZE kJitStackFirst = 32 * 1024;
constexpr PCRE2_SIZE kJitStackMax = 2 * 1024 * 1024;
constexpr uint32_t kHeapLimitKiB = 64 * 1024;

struct CodeFree {
    void operator()(pcre2_code* p) const { pcre2_code_free(p); }
};
struct MatchDataFree {
    void operator()(pcre2_match_data* p) const { pcre2_match_data_free(p); }
};
struct MatchContextFree {
    void operator()(pcre2_match_context* p) const { pcre2_match_context_free(p); }
};
struct CompileContextFree {
    void operator()(pcre2_compile_context* p) const { pcre2_compile_context_free(p); }
};
struct JitStackFree {
    void operator()(pcre2_jit_stack* p) const { pcre2_jit_stack_free(p); }
};

// One JIT stack per thread, shared by all its engines: a stack is scratch for one
// match at a time, and each of its own would map and unmap its megabytes with every
// short-lived matcher.
thread_local constinit bool jitStackClosed = false;

struct ThreadJitStack {
    std::unique_ptr<pcre2_jit_stack, JitStackFree> stack{pcre2_jit_stack_create(kJitStackFirst, kJitStackMax, nullptr)};
    ~ThreadJitStack() { jitStackClosed = true; }
};

// Without a stack (none could be made, or the thread is ending) PCRE2 uses a small
// one of its own, and a match that outgrows it runs in the interpreter.
pcre2_jit_stack* CurrentJitStack(void*)
{
    if (jitStackClosed)
        return nullptr;
    thread_local ThreadJitStack holder;
    return holder.stack.get();
}

} // namespace

struct RegexEngine::Impl {
    std::unique_ptr<pcre2_code, CodeFree> code;
    std::unique_ptr<pcre2_match_data, MatchDataFree> matchData;
    std::unique_ptr<pcre2_match_context, MatchContextFree> matchContext{pcre2_match_context_create(nullptr)};
    bool jitCompiled = false;
    int captureCount = 0;
    Bounds bounds = kDefaultBounds;

    int Run(std::u32string_view subject, size_t end, size_t start, uint32_t options, size_t window);
};

int RegexEngine::Impl::Run(std::u32string_view subject, size_t end, size_t start, uint32_t options, size_t window)
{
    uint64_t limit = std::numeric_limits<uint32_t>::max();
    if (bounds.stepsPerChar != 0)
        limit = std::min<uint64_t>(limit, bounds.baseSteps + uint64_t{bounds.stepsPerChar} * window);
    pcre2_set_match_limit(matchContext.get(), static_cast<uint32_t>(limit));
    const auto* data = reinterpret_cast<PCRE2_SPTR>(subject.data());
    // The JIT entry skips the argument checks of the general one; the arguments are ours.
    int rc = jitCompiled ? pcre2_jit_match(code.get(), data, end, start, options, matchData.get(), matchContext.get())
                         : pcre2_match(code.get(), data, end, start, options, matchData.get(), matchContext.get());
    // A deep group repetition can outgrow the JIT stack; the interpreter keeps its
    // frames on the (limited) heap instead.
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT)
        rc = pcre2_match(code.get(), data, end, start, options | PCRE2_NO_JIT, matchData.get(), matchContext.get());
    return rc;
}

RegexEngine::RegexEngine() : impl_(std::make_unique<Impl>())
{
    if (impl_->matchContext) {
        pcre2_set_heap_limit(impl_->matchContext.get(), kHeapLimitKiB);
        pcre2_jit_stack_assign(impl_->matchContext.get(), &CurrentJitStack, nullptr);
    }
}

RegexEngine::~RegexEngine() = default;
RegexEngine::RegexEngine(RegexEngine&&) noexcept = default;
RegexEngine& RegexEngine::operator=(RegexEngine&&) noexcept = default;

bool RegexEngine::Compile(std::u32string_view pattern, bool ignoreCase, bool multiline)
{
    impl_->code.reset();
    impl_->matchData.reset();
    impl_->jitCompiled = false;
    impl_->captureCount = 0;
    if (!impl_->matchContext)
        return false;

    std::unique_ptr<pcre2_compile_context, CompileContextFree> context(pcre2_compile_context_create(nullptr));
    if (!context)
        return false;
    pcre2_set_newline(context.get(), PCRE2_NEWLINE_ANYCRLF);
    pcre2_set_bsr(context.get(), PCRE2_BSR_ANYCRLF);
    pcre2_set_compile_extra_options(context.get(), PCRE2_EXTRA_BAD_ESCAPE_IS_LITERAL);

    // ALT_BSUX gives \uXXXX (and two-digit \xXX) as the system's patterns write them.
    // ALT_CIRCUMFLEX lets ^ match after a final line break, as every other line start;
    // the windowed search relies on it at a window's end.
    // Code units are whole code points already, so no UTF mode: that halves the cost
    // of every class test, and case folding stays with ASCII as everywhere else.
    uint32_t options = PCRE2_ALT_BSUX | PCRE2_ALT_CIRCUMFLEX | PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF;
    if (ignoreCase)
        options |= PCRE2_CASELESS;
    options |= multiline ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY;

    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    impl_->code.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), options, &error,
                                    &errorOffset, context.get()));
    if (!impl_->code)
        return false;
    impl_->matchData.reset(pcre2_match_data_create_from_pattern(impl_->code.get(), nullptr));
    if (!impl_->matchData) {
        impl_->code.reset();
        return false;
    }
    impl_->jitCompiled = pcre2_jit_compile(impl_->code.get(), PCRE2_JIT_COMPLETE | PCRE2_JIT_PARTIAL_HARD) == 0;
    uint32_t count = 0;
    pcre2_pattern_info(impl_->code.get(), PCRE2_INFO_CAPTURECOUNT, &count);
    impl_->captureCount = static_cast<int>(count);
    return true;
}

bool RegexEngine::Compiled() const { return impl_->code != nullptr; }

int RegexEngine::CaptureCount() const { return impl_->captureCount; }

void RegexEngine::SetBounds(const Bounds& bounds)
{
    impl_->bounds = bounds;
    impl_->bounds.firstWindow = std::max<size_t>(1, bounds.firstWindow);
    impl_->bounds.maxWindow = std::max(impl_->bounds.firstWindow, bounds.maxWindow);
}

// A backtracking engine re-reads the rest of a long run from every start position
// that fails in it (the address pattern on a long run of letters and dots scans to
// the run's end looking for a suffix), which is quadratic. So every search sees only
// a window of the subject and runs with PCRE2_PARTIAL_HARD: the engine then stops as
// soon as any path reaches the window's end. A complete match (or no match) inside
// the window is exactly what the unbounded search gives, since no path looked past
// the window; a partial match grows the window from the partial start, doubling up
// to maxWindow. A start that still needs more than maxWindow characters, or a window
// that exceeds its step budget (stepsPerChar per character, for patterns that
// backtrack heavily inside a short stretch), is given up: the search resumes at the
// window's end. Each character is then read a bounded number of times, so a search
// over the whole text stays linear; results differ from the unbounded engine only
// where a single match attempt would read more than maxWindow characters ahead.
bool RegexEngine::Find(std::u32string_view subject, size_t from, std::vector<size_t>& spans)
{
    if (!impl_->code)
        return false;
    const Bounds& bounds = impl_->bounds;
    const size_t n = subject.size();
    size_t start = from;
    size_t window = bounds.firstWindow;
    while (start <= n) {
        size_t end = n - start > window ? start + window : n;
        // A window never ends between CR and LF: ^ would see a line start there, where
        // the whole text has none.
        if (end < n && subject[end - 1] == U'\r' && subject[end] == U'\n')
            ++end;
        const bool bounded = end < n;
        const int rc = impl_->Run(subject, end, start, bounded ? PCRE2_PARTIAL_HARD : 0, end - start);
        if (rc >= 0) {
            const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(impl_->matchData.get());
            const size_t pairs = static_cast<size_t>(CaptureCount()) + 1;
            spans.resize(pairs * 2);
            for (size_t k = 0; k < pairs * 2; ++k)
                spans[k] = ovector[k] == PCRE2_UNSET ? kUnset : static_cast<size_t>(ovector[k]);
            return true;
        }
        if (rc == PCRE2_ERROR_PARTIAL) {
            const size_t partialStart = pcre2_get_ovector_pointer(impl_->matchData.get())[0];
            if (partialStart > start) {
                start = partialStart;
                continue;
            }
            if (window < bounds.maxWindow) {
                window = std::min(window * 2, bounds.maxWindow);
                continue;
            }
        } else if (rc == PCRE2_ERROR_NOMATCH && !bounded) {
            return false;
        }
        // No match in the window, or the attempt gave up: go on after the window.
        if (!bounded)
            return false;
        start = end;
        window = bounds.firstWindow;
    }
    return false;
}

} // namespace harvina
