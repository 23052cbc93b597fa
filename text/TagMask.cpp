#include "text/TagMask.h"

#include <algorithm>

namespace harvina {

std::string TagMask::Mask(std::string_view text, std::string_view placeholder, bool keepList)
{
    // Ten 0xFF bytes never occur in GB18030 text.
    placeholder_ = placeholder.empty() ? std::string(10, '\xFF') : std::string(placeholder);
    if (!keepList)
        tags_.clear();
    // Backwards, gathering the masked buffer in reversed pieces so the scan stays linear.
    std::string reversed;
    reversed.reserve(text.size());
    constexpr size_t npos = std::string_view::npos;
    size_t end = text.size(); // text[end..] is done
    size_t position = text.size();
    // The "<" and first ">" after it found for an earlier, later ">": still right
    // while the ">" looked at lies after that "<", so runs of ">" cost no rescans.
    size_t open = npos;
    size_t firstClose = npos;
    while (position > 0) {
        const size_t close = text.rfind('>', position - 1);
        if (close == npos || close == 0)
            break;
        if (open == npos || close <= open) {
            open = text.rfind('<', close - 1);
            if (open == npos)
                break;
            firstClose = text.find('>', open);
        }
        if (firstClose < close) {
            // An outer ">" stays a plain character; the tag ends at an inner one.
            position = close;
            continue;
        }
        reversed.append(text.rbegin() + static_cast<std::ptrdiff_t>(text.size() - end),
                        text.rbegin() + static_cast<std::ptrdiff_t>(text.size() - close - 1));
        reversed.append(placeholder_.rbegin(), placeholder_.rend());
        if (!keepList)
            tags_.emplace_back(text.substr(open, close - open + 1));
        end = open;
        position = open;
        open = npos;
    }
    reversed.append(text.rbegin() + static_cast<std::ptrdiff_t>(text.size() - end), text.rend());
    buffer_.assign(reversed.rbegin(), reversed.rend());
    return buffer_;
}

std::string TagMask::Restore(std::string_view masked) const
{
    if (placeholder_.empty() || tags_.empty())
        return std::string(masked);
    // The last placeholder takes the first tag listed, the one before it the second.
    std::vector<size_t> places; // from the end of the text
    for (size_t limit = masked.size(); limit >= placeholder_.size() && places.size() < tags_.size();) {
        const size_t at = masked.rfind(placeholder_, limit - placeholder_.size());
        if (at == std::string_view::npos)
            break;
        places.push_back(at);
        limit = at;
    }
    std::string out;
    out.reserve(masked.size());
    size_t copied = 0;
    for (size_t k = places.size(); k-- > 0;) {
        out.append(masked, copied, places[k] - copied);
        out += tags_[k];
        copied = places[k] + placeholder_.size();
    }
    out.append(masked, copied, std::string_view::npos);
    return out;
}

} // namespace harvina
