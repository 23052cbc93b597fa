#include "web/UrlParts.h"

#include "text/TextSearch.h"
#include "web/WebStrings.h"

#include <charconv>

namespace harvina {

std::string UrlHost(std::string_view url, bool keepPort)
{
    std::string lowered = LowerLocalText(url);
    if (lowered.empty() || lowered.back() != '/')
        lowered += '/';
    std::string_view marker = "https://";
    if (!lowered.starts_with(marker)) {
        marker = "http://";
        if (lowered.find(marker) == std::string::npos)
            lowered.insert(0, marker);
    }
    const size_t start = lowered.find(marker) + marker.size();
    std::string host = lowered.substr(start, lowered.find('/', start) - start);
    if (!keepPort)
        host = host.substr(0, host.find(':'));
    return host;
}

int UrlPort(std::string_view url)
{
    const std::string host = UrlHost(url, true);
    const size_t colon = host.rfind(':');
    if (colon == std::string::npos)
        return StartsWithNoCase(url, "https") ? 443 : 80;
    int port = 0;
    const char* first = host.data() + colon + 1;
    const char* last = host.data() + host.size();
    const auto [end, error] = std::from_chars(first, last, port);
    // Anything but a whole number is no port at all, so the connection is refused.
    return (error == std::errc() && end == last) ? port : 0;
}

std::string UrlPath(std::string_view url)
{
    const std::string host = UrlHost(url);
    if (host.empty())
        return "/";
    const int at = FindLocalText(url, host, 1, true);
    if (at < 1)
        return "/";
    const size_t slash = url.find('/', static_cast<size_t>(at - 1));
    return slash == std::string_view::npos ? std::string("/") : std::string(url.substr(slash));
}

} // namespace harvina
