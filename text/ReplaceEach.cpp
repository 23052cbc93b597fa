#include "text/ReplaceEach.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "text/LocalScan.h"

namespace harvina {
namespace {

// Past this size an item stops replacing and the rest of the text stays as it is.
constexpr size_t kMaxResultBytes = size_t{1} << 30;

std::vector<std::string_view> SplitList(std::string_view list, std::string_view separator)
{
    std::vector<std::string_view> items;
    size_t start = 0;
    while (true) {
        const size_t at = list.find(separator, start);
        if (at == std::string_view::npos) {
            items.push_back(list.substr(start));
            return items;
        }
        items.push_back(list.substr(start, at - start));
        start = at + separator.size();
    }
}

bool ReplaceSearched(std::string& text, std::string_view source, std::string_view target, bool ignoreCase,
                     int count);

// A lone byte that never lies inside a character and has no case: plain scanning.
bool ReplaceByte(std::string& text, char source, std::string_view target)
{
    const auto count = static_cast<size_t>(std::count(text.begin(), text.end(), source));
    if (count == 0)
        return false;
    if (text.size() - count + count * target.size() > kMaxResultBytes)
        return ReplaceSearched(text, std::string_view(&source, 1), target, false, 0);
    std::string out(text.size() - count + count * target.size(), '\0');
    char* write = out.data();
    for (const char c : text) {
        if (c != source) {
            *write++ = c;
            continue;
        }
        if (!target.empty())
            std::memcpy(write, target.data(), target.size());
        write += target.size();
    }
    text.swap(out);
    return true;
}

// One item over the whole text; `text` is untouched (and not copied) when absent.
bool ReplaceSearched(std::string& text, std::string_view source, std::string_view target, bool ignoreCase,
                     int count)
{
    size_t at = FindLocal(text, source, 0, ignoreCase);
    if (at == std::string_view::npos)
        return false;
    std::string out;
    out.reserve(text.size() + (target.size() > source.size() ? text.size() / 8 : 0));
    size_t copied = 0;
    int done = 0;
    while (at != std::string_view::npos && out.size() <= kMaxResultBytes) {
        out.append(text, copied, at - copied);
        out.append(target);
        copied = at + source.size();
        if (count > 0 && ++done >= count)
            break;
        at = FindLocal(text, source, copied, ignoreCase);
    }
    out.append(text, copied, std::string::npos);
    text.swap(out);
    return true;
}

bool ReplaceItem(std::string& text, std::string_view source, std::string_view target, bool ignoreCase, int count)
{
    if (source.size() == 1 && AlwaysUnitStart(static_cast<unsigned char>(source[0])) && count <= 0)
        return ReplaceByte(text, source[0], target);
    return ReplaceSearched(text, source, target, ignoreCase, count);
}

} // namespace

std::string ReplaceEach(std::string_view text, std::string_view sources, std::string_view targets,
                        const ReplaceOptions& options)
{
    const std::string_view separator = options.separator.empty() ? std::string_view("|") : options.separator;
    const std::vector<std::string_view> from = SplitList(sources, separator);
    std::vector<std::string_view> to = SplitList(targets, separator);
    to.resize(from.size());
    std::string result(text);
    for (size_t i = 0; i < from.size(); ++i) {
        if (from[i].empty())
            continue;
        const std::string_view target = options.fillFromFirst && to[i].empty() ? to[0] : to[i];
        ReplaceItem(result, from[i], target, !options.caseSensitive, options.count);
    }
    return result;
}

std::string NormalizeLineBreaks(std::string_view text)
{
    // One pass does what the four replacements via "[#rn#]" do: every CR LF, lone
    // CR, lone LF and literal placeholder becomes CR LF, and no placeholder can
    // form across a replaced break since it neither starts nor ends with one.
    static constexpr std::string_view kPlaceholder = "[#rn#]";
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        } else if (c == '[' && text.compare(i, kPlaceholder.size(), kPlaceholder) == 0) {
            out += "\r\n";
            i += kPlaceholder.size();
        } else {
            const size_t unit = static_cast<unsigned char>(c) < 0x80 ? 1 : LocalUnitAt(text, i);
            out.append(text, i, unit);
            i += unit;
        }
    }
    return out;
}

} // namespace harvina
