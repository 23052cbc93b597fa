#include "web/MergeCookies.h"

#include "web/WebStrings.h"

#include <algorithm>
#include <vector>

namespace harvina {
namespace {

std::string CookieName(const std::string& part)
{
    return TrimSpaces(std::string_view(part).substr(0, part.find('=')));
}

void RemoveSpaces(std::string& text)
{
    std::erase(text, ' ');
}

// Empty pieces (a trailing ";") are no cookies and are left out.
std::vector<std::string> CookieParts(const std::string& text)
{
    std::vector<std::string> parts = SplitText(text, ";");
    std::erase_if(parts, [](const std::string& part) { return TrimSpaces(part).empty(); });
    return parts;
}

} // namespace

std::string MergeCookies(std::string& cookie, std::string& newCookies)
{
    RemoveSpaces(cookie);
    RemoveSpaces(newCookies);
    std::vector<std::string> merged = CookieParts(newCookies);
    std::vector<std::string> names;
    for (const std::string& part : merged)
        names.push_back(CookieName(part));
    for (const std::string& part : CookieParts(cookie)) {
        const std::string name = CookieName(part);
        if (std::find(names.begin(), names.end(), name) == names.end()) {
            merged.push_back(part);
            names.push_back(name);
        }
    }
    std::vector<std::string> kept;
    for (const std::string& part : merged) {
        const bool deleted = part.ends_with("=deleted");
        if (!deleted && std::find(kept.begin(), kept.end(), part) == kept.end())
            kept.push_back(part);
    }
    std::string result;
    for (const std::string& part : kept) {
        if (!result.empty())
            result += "; ";
        result += part;
    }
    cookie = result;
    return result;
}

} // namespace harvina
