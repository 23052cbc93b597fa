#include "platform/InternetSession.h"

#include <vector>

namespace harvina {
namespace {

// Defaults when no time-out is set, so that no request waits forever.
constexpr TransferLimits kDefaultInternetLimits{0, 60000, 30000, 30000};
constexpr int kMaxPort = 65535;

std::vector<std::string_view> SplitProxyList(std::string_view list)
{
    std::vector<std::string_view> entries;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find_first_of(" ;", start);
        if (end == std::string_view::npos)
            end = list.size();
        if (end > start)
            entries.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

} // namespace

InternetSession::InternetSession(std::string agent, InternetAccess access, std::string_view proxyList)
    : agent_(std::move(agent)), limits_(kDefaultInternetLimits)
{
    if (access != InternetAccess::Proxy)
        return;
    // "http=server" serves plain requests only, "https=server" secure ones, a bare
    // server both. An empty server means no proxy for that scheme.
    for (std::string_view entry : SplitProxyList(proxyList)) {
        const size_t equals = entry.find('=');
        if (equals == std::string_view::npos) {
            httpProxy_ = httpsProxy_ = std::string(entry);
            continue;
        }
        const std::string_view scheme = entry.substr(0, equals);
        const std::string server(entry.substr(equals + 1));
        if (scheme == "http")
            httpProxy_ = server;
        else if (scheme == "https")
            httpsProxy_ = server;
    }
}

void InternetSession::SetConnectTimeout(int ms)
{
    if (ms > 0)
        limits_.connectMs = ms;
}

void InternetSession::SetSendTimeout(int ms)
{
    if (ms > 0)
        limits_.sendMs = ms;
}

void InternetSession::SetReceiveTimeout(int ms)
{
    if (ms > 0)
        limits_.receiveMs = ms;
}

std::optional<InternetConnection> InternetSession::Connect(std::string_view host, int port) const
{
    if (host.empty() || port <= 0 || port > kMaxPort)
        return std::nullopt;
    return InternetConnection(std::string(host), port, agent_, httpProxy_, httpsProxy_, limits_);
}

std::string InternetSession::ProxyFor(bool secure) const
{
    return secure ? httpsProxy_ : httpProxy_;
}

} // namespace harvina
