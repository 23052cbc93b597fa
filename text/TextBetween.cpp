#include "text/TextBetween.h"

#include "platform/Charset.h"
#include "text/TextSearch.h"

#include <algorithm>

namespace harvina {
namespace {

constexpr int kExhausted = -2;

const std::string& HeadSentinel()
{
    static const std::string kHead = LocalText("#Vortan头#");
    return kHead;
}

const std::string& TailSentinel()
{
    static const std::string kTail = LocalText("#Vortan尾#");
    return kTail;
}

std::string WithoutDoubleQuotes(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
    return text;
}

struct Found {
    int head = -1;
    int tail = -1;
};

Found FindForward(std::string_view text, std::string_view head, std::string_view tail, int from)
{
    Found f;
    f.head = FindLocalText(text, head, from, true);
    if (f.head < 0)
        return {};
    f.tail = FindLocalText(text, tail, f.head + static_cast<int>(head.size()), true);
    if (f.tail < 0)
        return {};
    return f;
}

// Tail first, then the last head wholly before it; the head must lie past the end
// the caller saw last time.
Found FindBackward(std::string_view text, std::string_view head, std::string_view tail, int from, int& previousEnd)
{
    Found f;
    f.tail = FindLocalText(text, tail, from, true);
    if (f.tail < 0)
        return {};
    f.head = FindLastLocalText(text, head, static_cast<size_t>(f.tail - 1), true);
    if (f.head < 0)
        return {};
    const bool beyondPrevious = f.head > previousEnd;
    previousEnd = f.tail;
    if (!beyondPrevious)
        return {};
    return f;
}

std::string Cut(std::string_view text, long long start, long long length)
{
    if (length <= 0 || start < 1 || start > static_cast<long long>(text.size()))
        return {};
    const size_t from = static_cast<size_t>(start - 1);
    return std::string(text.substr(from, static_cast<size_t>(std::min<long long>(length, text.size() - from))));
}

} // namespace

std::string TextBetween(std::string_view text, std::string_view headMarker, std::string_view tailMarker,
                        int& position, const TextBetweenOptions& options)
{
    if (position == kExhausted)
        return {};

    std::string head = options.keepQuotes ? std::string(headMarker) : ExpandQuotes(headMarker);
    std::string tail = options.keepQuotes ? std::string(tailMarker) : ExpandQuotes(tailMarker);
    // Only a missing marker needs a copy of the text, with the sentinel standing in.
    std::string padded;
    std::string_view work = text;
    if (head.empty() || tail.empty()) {
        if (head.empty()) {
            head = HeadSentinel();
            padded = head;
        }
        padded.append(text);
        if (tail.empty()) {
            tail = TailSentinel();
            padded += tail;
        }
        work = padded;
    }

    const int entry = position;
    int previousEndLocal = 0;
    int& previousEnd = options.previousEnd ? *options.previousEnd : previousEndLocal;
    Found found;
    for (int attempt = 0; attempt < 2 && found.tail < 0; ++attempt) {
        if (attempt == 1) {
            // Markers written with double quotes also match attributes written without them.
            position = entry;
            head = WithoutDoubleQuotes(std::move(head));
            tail = WithoutDoubleQuotes(std::move(tail));
        }
        found = options.backwards ? FindBackward(work, head, tail, position, previousEnd)
                                  : FindForward(work, head, tail, position);
    }
    if (found.tail < 0) {
        position = kExhausted;
        return {};
    }

    position = found.tail + static_cast<int>(tail.size());
    const long long start = static_cast<long long>(found.head) + static_cast<long long>(head.size()) + options.startShift;
    const long long length = found.tail - start - options.endShift;
    return Cut(work, start, length);
}

std::string TextBetween(std::string_view text, std::string_view head, std::string_view tail)
{
    int position = 0;
    return TextBetween(text, head, tail, position);
}

std::string ExpandQuotes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\'' && i + 1 < text.size() && text[i + 1] == '\'') {
            out += '"';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace harvina
