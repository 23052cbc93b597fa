#include "platform/SystemProxy.h"

#include <cstdlib>

namespace harvina {

std::string UserProxyServer()
{
    for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY"}) {
        const char* value = std::getenv(name);
        if (!value || !*value)
            continue;
        std::string server(value);
        while (!server.empty() && server.back() == '/')
            server.pop_back();
        return server;
    }
    return {};
}

} // namespace harvina
