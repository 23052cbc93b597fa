#pragma once

#include "platform/CurlTransfer.h"
#include "platform/InternetConnection.h"

#include <optional>
#include <string>
#include <string_view>

namespace harvina {

enum class InternetAccess { Direct, Proxy };

// The root of the second request path: an agent string and the way out (direct, or
// through a proxy list such as "http=host:port" or "host:port"), plus the connect,
// send and receive time-outs that the connections made from it inherit.
class InternetSession {
public:
    InternetSession(std::string agent, InternetAccess access, std::string_view proxyList);

    // Milliseconds; 0 or less keeps the default.
    void SetConnectTimeout(int ms);
    void SetSendTimeout(int ms);
    void SetReceiveTimeout(int ms);

    // Empty when the host is empty or the port is out of range.
    [[nodiscard]] std::optional<InternetConnection> Connect(std::string_view host, int port) const;

    [[nodiscard]] const std::string& Agent() const { return agent_; }
    // The proxy server for a plain or a secure request; empty: a direct connection.
    [[nodiscard]] std::string ProxyFor(bool secure) const;
    [[nodiscard]] const TransferLimits& Limits() const { return limits_; }

private:
    std::string agent_;
    std::string httpProxy_;
    std::string httpsProxy_;
    TransferLimits limits_;
};

} // namespace harvina
