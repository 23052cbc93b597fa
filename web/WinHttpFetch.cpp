// The composite operations of WebClient over the request object: the two page
// fetches and the three probes.
#include "web/WebClient.h"

#include "platform/HttpRequest.h"
#include "platform/SystemProxy.h"
#include "web/DecodeBody.h"
#include "web/WebStrings.h"

#include <cmath>

namespace harvina {
namespace {

constexpr std::string_view kDefaultContentType = "application/x-www-form-urlencoded";
constexpr std::string_view kFetchUserAgent =
    "Mozilla/5.0 (Windows NT 6.1) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/30.0.1599.101 Safari/537.36";
constexpr std::string_view kDetectUserAgent = "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)";
constexpr std::string_view kQuickUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)";
constexpr std::string_view kProbeAccept =
    "image/gif, image/x-xbitmap, image/jpeg, imagepeg, application/x-shockwave-flash, application/x-silverlight, */*";
constexpr std::string_view kProbeAcceptLanguage = "zh-cn";
constexpr std::string_view kProbeConnection = "Keep-Alive";
constexpr std::string_view kNoProxy = "-1";
constexpr std::string_view kEmptyCookie = "-1";
constexpr std::string_view kSystemProxy = "IE";
constexpr double kEpsilon = 1e-7;
constexpr int kDefaultWaitSeconds = 120;
constexpr int kProbeWaitSeconds = 25;
constexpr int kPostProbeWaitSeconds = 100;

// Time-outs of a fetch and its wait; `set` false leaves the request object's defaults.
struct FetchTiming {
    bool set = true;
    int resolveMs = 10000;
    int connectMs = 10000;
    int sendMs = 60000;
    int receiveMs = 120000;
    int waitSeconds = kDefaultWaitSeconds;
};

FetchTiming TimingFromSeconds(double t)
{
    FetchTiming timing;
    if (std::isnan(t))
        t = 0;
    if (std::fabs(t + 1) <= kEpsilon)
        timing.set = false;
    if (t - 1 < -kEpsilon)
        return timing;
    const int ms = SecondsToMs(t);
    timing.resolveMs = timing.connectMs = timing.sendMs = timing.receiveMs = ms;
    timing.waitSeconds = TruncateSeconds(t);
    return timing;
}

FetchTiming TimingFromWholeSeconds(int s)
{
    FetchTiming timing;
    if (s == -1)
        timing.set = false;
    if (s < 1)
        return timing;
    const int ms = SecondsToMs(s);
    timing.resolveMs = timing.connectMs = timing.sendMs = timing.receiveMs = ms;
    timing.waitSeconds = s;
    return timing;
}

// "Name: value" lines; only the first two ": "-pieces count, and both must be non-empty.
void SetHeaderLines(WebClient& client, std::string_view text)
{
    if (text.empty())
        return;
    for (const std::string& line : SplitText(text, kCrLf)) {
        const std::vector<std::string> pieces = SplitText(line, ": ");
        if (pieces.size() >= 2 && !pieces[0].empty() && !pieces[1].empty())
            client.SetRequestHeader(pieces[0], pieces[1]);
    }
}

void ApplyProxyText(WebClient& client, std::string_view proxy)
{
    const std::string text = proxy == kSystemProxy ? UserProxyServer() : std::string(proxy);
    client.SetProxy(text.empty() ? 0 : 2, text, {});
}

// Steps shared by both fetches, up to the response being in (or the wait running out).
void RunFetch(WebClient& client, std::string_view url, const FetchTiming& timing, HttpFetchOptions& options)
{
    const bool post = !options.postText.empty() || !options.postBytes.empty();
    const std::string trimmed = TrimSpaces(url);
    std::string opened = trimmed;
    client.Open(post ? "POST" : "GET", opened, !options.synchronous);
    client.SetRequestHeader("Referer", options.referer.empty() ? trimmed : options.referer);
    if (options.extraHeaders.find("Content-Type:") == std::string::npos)
        client.SetRequestHeader("Content-Type", options.contentType.empty() ? kDefaultContentType : options.contentType);
    if (options.extraHeaders.find("User-Agent:") == std::string::npos)
        client.SetRequestHeader("User-Agent", options.userAgent.empty() ? kFetchUserAgent : options.userAgent);
    std::string headerText = options.extraHeaders;
    if (options.addForwardedFor) {
        if (!headerText.empty())
            headerText += kCrLf;
        headerText += WebClient::MakeForwardedForHeaders();
    }
    SetHeaderLines(client, headerText);
    if (!client.StoredCookies().empty() && options.cookie.empty())
        options.cookie = client.StoredCookies();
    if (options.cookie == kEmptyCookie)
        client.SetRequestHeader("Cookie", "");
    else if (!options.cookie.empty())
        client.SetRequestHeader("Cookie", options.cookie);
    if (timing.set)
        client.SetTimeouts(timing.resolveMs, timing.connectMs, timing.sendMs, timing.receiveMs);
    if (options.proxy && *options.proxy != kNoProxy)
        ApplyProxyText(client, *options.proxy);
    client.Send(options.postText, options.postBytes);
    if (!options.synchronous)
        client.WaitForResponse(timing.waitSeconds);
    if (options.keepCookies)
        client.SetStoredCookies(client.GetResponseCookies());
}

void OpenProbe(WebClient& client, std::string_view method, std::string& url, bool synchronous)
{
    client.Option(6, 0);
    client.SetTimeouts(5000, 5000, 10000, 5000);
    client.Open(method, url, !synchronous);
}

void SetProbeDefaults(WebClient& client, std::string_view userAgent)
{
    client.SetRequestHeader("User-Agent", userAgent);
    client.SetRequestHeader("Accept-Language", kProbeAcceptLanguage);
    client.SetRequestHeader("Connection", kProbeConnection);
    client.SetRequestHeader("Accept", kProbeAccept);
}

} // namespace

std::string WebClient::FetchWithWinHttp(std::string_view url, double timeoutSeconds)
{
    HttpFetchOptions options;
    return FetchWithWinHttp(url, timeoutSeconds, options);
}

std::string WebClient::FetchWithWinHttp(std::string_view url, double timeoutSeconds, HttpFetchOptions& options)
{
    RunFetch(*this, url, TimingFromSeconds(timeoutSeconds), options);
    if (options.charsetCode == kCharsetServiceText)
        return GetResponseText();
    if (options.charsetCode == kCharsetRawBytes)
        return GetResponseBody();
    if (options.charsetCode == kCharsetDetect && DeclaresUtf8(GetAllResponseHeaders()))
        options.charsetCode = kCharsetUtf8;
    // Decoded straight from the request object's buffer: a body at the cap is not copied first.
    return request_ ? DecodeBody(request_->ResponseBody(), options.charsetCode) : std::string();
}

std::string WebClient::FetchBytesWithWinHttp(std::string_view url, int timeoutSeconds)
{
    HttpFetchOptions options;
    return FetchBytesWithWinHttp(url, timeoutSeconds, options);
}

std::string WebClient::FetchBytesWithWinHttp(std::string_view url, int timeoutSeconds, HttpFetchOptions& options)
{
    RunFetch(*this, url, TimingFromWholeSeconds(timeoutSeconds), options);
    if (options.charsetCode == kCharsetDetect && DeclaresUtf8(GetAllResponseHeaders()))
        options.charsetCode = kCharsetUtf8;
    if (!request_)
        return {};
    const std::string& body = request_->ResponseBody();
    return IsGzip(body) ? GunzipBody(body) : body;
}

std::string WebClient::QuickGetLocation(std::string_view url)
{
    Option(6, 0);
    SetTimeouts(5000, 5000, 10000, 5000);
    if (!request_)
        return {};
    request_->Open("GET", url, false);
    request_->SetRequestHeader("User-Agent", kQuickUserAgent);
    request_->SetRequestHeader("Accept-Language", kProbeAcceptLanguage);
    request_->SetRequestHeader("Connection", kProbeConnection);
    request_->SetRequestHeader("Accept", kProbeAccept);
    request_->Send({});
    return GetResponseHeader("Location");
}

std::string WebClient::GetRedirectLocation(std::string_view url, const RedirectProbeOptions& options)
{
    const bool post = !options.postText.empty();
    std::string opened(url);
    OpenProbe(*this, post ? "POST" : "GET", opened, options.synchronous);
    SetProbeDefaults(*this, options.userAgent.empty() ? kFetchUserAgent : std::string_view(options.userAgent));
    SetRequestHeader("Referer", options.referer.empty() ? TrimSpaces(opened) : options.referer);
    if (options.cookie)
        SetRequestHeader("Cookie", *options.cookie);
    SetHeaderLines(*this, options.extraHeaders);
    if (!options.proxy.empty())
        ApplyProxyText(*this, options.proxy);
    Send(options.postText);
    if (!options.synchronous)
        WaitForResponse(post ? kPostProbeWaitSeconds : kProbeWaitSeconds);
    return GetResponseHeader("Location");
}

int WebClient::DetectUtf8Charset(std::string_view url, bool synchronous, std::string_view referer,
                                 const std::optional<std::string>& cookie)
{
    std::string opened(url);
    OpenProbe(*this, "GET", opened, synchronous);
    SetProbeDefaults(*this, kDetectUserAgent);
    SetRequestHeader("Referer", referer.empty() ? TrimSpaces(opened) : std::string(referer));
    if (cookie)
        SetRequestHeader("Cookie", *cookie);
    Send();
    if (!synchronous)
        WaitForResponse(kProbeWaitSeconds);
    return DeclaresUtf8(GetAllResponseHeaders()) ? kCharsetUtf8 : kCharsetDetect;
}

int WebClient::GetStatusCode(std::string_view url, bool synchronous, int waitSeconds,
                             const std::optional<std::string>& cookie, const std::optional<std::string>& proxy)
{
    std::string opened(url);
    OpenProbe(*this, "GET", opened, synchronous);
    if (cookie)
        SetRequestHeader("Cookie", *cookie);
    if (proxy && *proxy != kNoProxy)
        ApplyProxyText(*this, *proxy);
    Send();
    if (!synchronous)
        WaitForResponse(waitSeconds == 0 ? kProbeWaitSeconds : waitSeconds);
    return GetStatus();
}

} // namespace harvina
