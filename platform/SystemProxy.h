#pragma once

#include <string>

namespace harvina {

// The current user's configured proxy server, "host:port" (possibly with a scheme);
// empty when none is configured. Read from http_proxy, then https_proxy.
[[nodiscard]] std::string UserProxyServer();

} // namespace harvina
