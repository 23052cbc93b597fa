#include "platform/InternetConnection.h"

namespace harvina {

InternetConnection::InternetConnection(std::string host, int port, std::string agent, std::string httpProxy,
                                       std::string httpsProxy, const TransferLimits& limits)
    : host_(std::move(host)),
      port_(port),
      agent_(std::move(agent)),
      httpProxy_(std::move(httpProxy)),
      httpsProxy_(std::move(httpsProxy)),
      limits_(limits)
{
}

InternetRequest InternetConnection::OpenRequest(std::string_view method, std::string_view path, unsigned flags) const
{
    const bool secure = (flags & kInternetFlagSecure) != 0;
    InternetTarget target{host_, port_, agent_, secure ? httpsProxy_ : httpProxy_, limits_};
    return InternetRequest(std::move(target), method, path, flags);
}

} // namespace harvina
