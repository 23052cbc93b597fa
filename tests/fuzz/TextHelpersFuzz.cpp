// TextBetween, ExpandQuotes, ContainsKeywords and ToTraditionalChinese on random
// texts and markers, every option drawn from the input.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/fuzz/FuzzHost.h"
#include "text/ContainsKeywords.h"
#include "text/TextBetween.h"

using namespace harvina;

namespace {

// Walks give up here: a tail of quotes only may leave the position where it was.
constexpr int kMaxWalkSteps = 64;

bool HasQuote(const std::string& s) { return s.find_first_of("\"'") != std::string::npos; }

void WalkTextBetween(FuzzedDataProvider& in, const std::string& text)
{
    const std::string head = in.ConsumeRandomLengthString(12);
    const std::string tail = in.ConsumeRandomLengthString(12);
    TextBetweenOptions options;
    options.backwards = in.ConsumeBool();
    options.startShift = in.ConsumeIntegralInRange(-6, 6);
    options.endShift = in.ConsumeIntegralInRange(-6, 6);
    options.keepQuotes = in.ConsumeBool();
    int previousEnd = in.ConsumeIntegralInRange(-3, 40);
    options.previousEnd = &previousEnd;
    int position = in.ConsumeIntegralInRange(-3, 40);

    // The working text is the text with at most both sentinels around it.
    const size_t workingMax = text.size() + 2 * 16;
    for (int step = 0; step < kMaxWalkSteps && position != -2; ++step) {
        const int entry = position;
        const std::string between = TextBetween(text, head, tail, position, options);
        if (between.size() > workingMax)
            fuzz::Fail("TextBetween result longer than its text", between);
        if (position == -2) {
            if (!TextBetween(text, head, tail, position, options).empty() || position != -2)
                fuzz::Fail("TextBetween did not stop at -2", between);
            break;
        }
        if (position < 1 || static_cast<size_t>(position) > workingMax + 1)
            fuzz::Fail("TextBetween position out of the text", std::to_string(position));
        // Markers without quotes are found at or after the position, the tail after the
        // head, so a forward walk advances. (A marker of quotes only is empty on the
        // second attempt, and an empty text is "found" at position 1.)
        if (!options.backwards && !HasQuote(head) && !HasQuote(tail) && position <= std::max(entry, 1))
            fuzz::Fail("forward TextBetween walk did not advance", text);
    }
    (void)TextBetween(text, head, tail);
}

void TestKeywords(FuzzedDataProvider& in, const std::string& text)
{
    static const char* const kSeparators[] = {"", "|", "[fg]", ",", "||"};
    const std::string list = in.ConsumeRandomLengthString(48);
    KeywordOptions options;
    options.anyOne = in.ConsumeBool();
    const size_t sep = in.ConsumeIntegralInRange<size_t>(0, std::size(kSeparators));
    const std::string separator = sep < std::size(kSeparators) ? kSeparators[sep] : in.ConsumeRandomLengthString(3);
    options.separator = separator;
    std::string matched;
    int foundAt = 0;
    const bool wantMatched = in.ConsumeBool();
    if (wantMatched)
        options.matchedKeyword = &matched;
    if (in.ConsumeBool())
        options.foundAt = &foundAt;
    options.tryTraditional = in.ConsumeBool();
    std::vector<std::string> split;
    if (in.ConsumeBool()) {
        const int n = in.ConsumeIntegralInRange(0, 4);
        for (int i = 0; i < n; ++i)
            split.push_back(in.ConsumeRandomLengthString(8));
        options.splitKeywords = &split;
    }
    options.ignoreCase = in.ConsumeBool();
    options.wholeText = in.ConsumeBool();

    const bool found = ContainsKeywords(text, list, options);
    if (found && wantMatched && matched.empty())
        fuzz::Fail("ContainsKeywords matched an empty keyword", list);
    if (list.empty() && !options.splitKeywords && found)
        fuzz::Fail("ContainsKeywords true for an empty list", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::string text = in.ConsumeRandomLengthString(4096);
    WalkTextBetween(in, text);
    TestKeywords(in, text);
    if (ExpandQuotes(text).size() > text.size())
        fuzz::Fail("ExpandQuotes grew its text", text);
    if (ToTraditionalChinese(text).size() != text.size())
        fuzz::Fail("ToTraditionalChinese changed the byte length", text);
    return 0;
}
