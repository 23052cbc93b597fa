#include "platform/CookieStore.h"

namespace harvina {
namespace {

std::string LowerAscii(std::string_view text)
{
    std::string lowered(text);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lowered;
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// The host of "scheme://host[:port]/path", lowered, without the port.
std::string HostOf(std::string_view address)
{
    const size_t scheme = address.find("://");
    if (scheme != std::string_view::npos)
        address.remove_prefix(scheme + 3);
    address = address.substr(0, address.find_first_of("/?#"));
    address = address.substr(0, address.find(':'));
    return LowerAscii(address);
}

} // namespace

CookieStore& CookieStore::Instance()
{
    static CookieStore store;
    return store;
}

bool CookieStore::Set(std::string_view address, std::string_view name, std::string_view data)
{
    const std::string host = HostOf(address);
    const std::string_view key = TrimBlanks(name);
    const std::string_view value = TrimBlanks(data.substr(0, data.find(';')));
    if (host.empty() || key.empty() || key.size() + value.size() > kMaxCookieBytes)
        return false;
    std::lock_guard lock(mutex_);
    auto found = hosts_.find(host);
    if (found == hosts_.end()) {
        if (hosts_.size() >= kMaxCookieHosts)
            return false;
        found = hosts_.emplace(host, std::map<std::string, std::string>{}).first;
    }
    auto& cookies = found->second;
    if (cookies.size() >= kMaxCookiesPerHost && cookies.find(std::string(key)) == cookies.end())
        return false;
    cookies[std::string(key)] = std::string(value);
    return true;
}

std::string CookieStore::CookieHeader(std::string_view host) const
{
    std::lock_guard lock(mutex_);
    const auto found = hosts_.find(LowerAscii(host));
    if (found == hosts_.end())
        return {};
    std::string header;
    for (const auto& [name, value] : found->second) {
        if (!header.empty())
            header += "; ";
        header += name + "=" + value;
    }
    return header;
}

void CookieStore::Clear()
{
    std::lock_guard lock(mutex_);
    hosts_.clear();
}

} // namespace harvina
