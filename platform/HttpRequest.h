#pragma once

#include "platform/CurlTransfer.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace harvina {

// The request object of the page fetches: open, headers, time-outs, proxy, send,
// wait with a limit, then read the response. Settings (time-outs, proxy, credentials,
// redirect following) stay across Open calls; headers and the response do not.
//
// An asynchronous request makes progress only inside WaitForResponse, on the caller's
// thread, so nothing outlives the object. A wait that runs out leaves the request
// pending: the response then reads as empty until a later wait completes it.
// A failed request (an address without http:// or https://, no connection, a
// time-out) reads as empty too.
class HttpRequest {
public:
    HttpRequest();
    ~HttpRequest();
    HttpRequest(const HttpRequest&) = delete;
    HttpRequest& operator=(const HttpRequest&) = delete;

    void Open(std::string_view method, std::string_view url, bool async);
    // A second header of the same name (ASCII case ignored) replaces the first.
    void SetRequestHeader(std::string_view name, std::string_view value);
    // Milliseconds; 0 or less means no limit. Receive is an inactivity limit.
    void SetTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs);
    // An empty server restores the default: a direct connection.
    void SetProxy(std::string_view server, std::string_view bypass);
    void SetCredentials(std::string_view user, std::string_view password, bool forProxy);
    void SetFollowRedirects(bool follow) { followRedirects_ = follow; }
    [[nodiscard]] bool FollowRedirects() const { return followRedirects_; }
    void SetClientCertificate(std::string_view path) { clientCertificate_ = path; }
    // Kept for reading back only: certificates are always verified.
    void SetIgnoredSslErrors(int flags) { ignoredSslErrors_ = flags; }
    [[nodiscard]] int IgnoredSslErrors() const { return ignoredSslErrors_; }

    void Send(std::string body);
    // True when the response is complete.
    bool WaitForResponse(double seconds);
    void Abort();

    [[nodiscard]] bool HasResponse() const;
    [[nodiscard]] int Status() const;
    [[nodiscard]] std::string StatusText() const;
    // The value of the first header of that name; empty when absent.
    [[nodiscard]] std::string ResponseHeader(std::string_view name) const;
    // Every header line of the response, each followed by CR LF.
    [[nodiscard]] std::string AllResponseHeaders() const;
    // Empty until a response is complete.
    [[nodiscard]] const std::string& ResponseBody() const;
    // The body decoded by the charset the response names (UTF-8 when it names none).
    [[nodiscard]] std::string ResponseText() const;

    // What the request will send, for inspection.
    [[nodiscard]] const std::vector<std::pair<std::string, std::string>>& RequestHeaders() const { return headers_; }
    [[nodiscard]] const TransferLimits& Limits() const { return limits_; }
    // The limit of the last WaitForResponse; -1 when there was none since Open.
    [[nodiscard]] double LastWaitSeconds() const { return lastWaitSeconds_; }

private:
    const TransferResult* Response() const;

    std::string method_;
    std::string url_;
    bool async_ = false;
    bool opened_ = false;
    std::vector<std::pair<std::string, std::string>> headers_;
    TransferLimits limits_;
    std::string proxyServer_;
    std::string proxyBypass_;
    std::string proxyUser_;
    std::string proxyPassword_;
    std::string serverUser_;
    std::string serverPassword_;
    std::string clientCertificate_;
    bool followRedirects_ = true;
    int ignoredSslErrors_ = 0;
    double lastWaitSeconds_ = -1;
    std::unique_ptr<CurlTransfer> transfer_;
};

} // namespace harvina
