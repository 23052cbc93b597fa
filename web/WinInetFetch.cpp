// The second fetch path of WebClient: the threaded request with a hard limit, or
// the direct request on the calling thread.
#include "web/WebClient.h"

#include "web/DecodeBody.h"
#include "web/WebStrings.h"
#include "web/WinInetRequest.h"

#include <cmath>

namespace harvina {
namespace {

constexpr double kEpsilon = 1e-7;
constexpr int kDefaultWaitSeconds = 120;

} // namespace

std::string WebClient::FetchWithWinInet(std::string_view url, double timeoutSeconds)
{
    std::string address(url);
    WinInetFetchOptions options;
    return FetchWithWinInet(address, timeoutSeconds, options);
}

std::string WebClient::FetchWithWinInet(std::string& url, double timeoutSeconds, WinInetFetchOptions& options)
{
    if (const size_t hash = url.find('#'); hash != std::string::npos)
        url.erase(hash);
    std::string headers = options.extraHeaders;
    if (options.addForwardedFor) {
        if (!options.extraHeaders.empty())
            headers += kCrLf;
        headers += MakeForwardedForHeaders();
    }
    headers += std::string(kCrLf) + "Referer: " + (options.referer.empty() ? TrimSpaces(url) : options.referer);

    const bool post = !options.postText.empty();
    const double t = std::isnan(timeoutSeconds) ? 0.0 : timeoutSeconds;
    std::string responseHeaders;
    std::string body;
    if (!options.direct) {
        if (options.postBytes.empty())
            options.postBytes = options.postText;
        const int waitSeconds = std::fabs(t) <= kEpsilon ? kDefaultWaitSeconds : TruncateSeconds(t);
        body = WinInetThreadedRequest(url, post, options.proxy, headers, options.postBytes, options.cookie, waitSeconds,
                                      responseHeaders, options.responseCookies, true);
    } else {
        body = WinInetDirectRequest(url, post, options.postText, TruncateSeconds(t), options.postBytes, options.proxy,
                                    options.cookie, options.responseCookies, headers, responseHeaders, true);
    }
    options.responseBody = body;
    if (options.charsetCode == kCharsetDetect && DeclaresUtf8(responseHeaders))
        options.charsetCode = kCharsetUtf8;
    return DecodeBody(body, options.charsetCode);
}

} // namespace harvina
