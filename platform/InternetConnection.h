#pragma once

#include "platform/CurlTransfer.h"
#include "platform/InternetRequest.h"

#include <string>
#include <string_view>

namespace harvina {

// A host and port under a session's settings; requests are opened on it.
class InternetConnection {
public:
    InternetConnection(std::string host, int port, std::string agent, std::string httpProxy, std::string httpsProxy,
                       const TransferLimits& limits);

    // `flags` are the kInternetFlag* values of InternetRequest.h.
    [[nodiscard]] InternetRequest OpenRequest(std::string_view method, std::string_view path, unsigned flags) const;

    [[nodiscard]] const std::string& Host() const { return host_; }
    [[nodiscard]] int Port() const { return port_; }

private:
    std::string host_;
    int port_;
    std::string agent_;
    std::string httpProxy_;
    std::string httpsProxy_;
    TransferLimits limits_;
};

} // namespace harvina
