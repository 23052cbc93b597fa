#include "input/OpenFileFilter.h"

#include <vector>

namespace harvina {
namespace {

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t pos; (pos = text.find(separator, start)) != std::string_view::npos; start = pos + 1)
        parts.push_back(text.substr(start, pos - start));
    parts.push_back(text.substr(start));
    return parts;
}

std::string QtPatterns(std::string_view patterns)
{
    std::string out;
    for (std::string_view pattern : Split(patterns, ';')) {
        if (pattern.empty())
            continue;
        if (!out.empty())
            out += ' ';
        out += pattern == "*.*" ? std::string_view("*") : pattern;
    }
    return out.empty() ? std::string("*") : out;
}

} // namespace

std::string OpenFileFilter(std::string_view pairs)
{
    if (pairs.empty())
        return {};
    const std::vector<std::string_view> parts = Split(pairs, '|');
    std::string out;
    for (size_t i = 0; i < parts.size(); i += 2) {
        const std::string_view description = parts[i];
        const std::string_view patterns = i + 1 < parts.size() ? parts[i + 1] : description;
        if (description.empty() && patterns.empty())
            continue;
        if (!out.empty())
            out += ";;";
        out += std::string(description) + " (" + QtPatterns(patterns) + ")";
    }
    return out;
}

} // namespace harvina
