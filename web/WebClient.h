#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace harvina {

class HttpRequest;

// Optional arguments of WebClient::FetchWithWinHttp and WebClient::FetchBytesWithWinHttp.
// Every field left as it is counts as absent. charsetCode and cookie are in/out: the
// fetch writes back into the struct the caller passed.
struct HttpFetchOptions {
    std::string postText;             // non-empty (or postBytes non-empty): POST
    int charsetCode = 0;              // in/out: 0 detect, 1 local, 2 UTF-8 ... (-2 service text, -1 raw bytes)
    std::optional<std::string> proxy; // absent or "-1": no proxy call; "IE": the user's system proxy;
                                      // else "server[,user,password]"
    bool synchronous = false;         // false: asynchronous open, then a wait with a limit
    std::string postBytes;            // request body bytes; precedence over postText
    std::string referer;              // empty: the trimmed URL as given
    std::string cookie;               // in/out; empty: StoredCookies (copied back here); "-1": empty Cookie header
    bool keepCookies = false;         // the response cookies replace StoredCookies
    std::string contentType;          // empty: "application/x-www-form-urlencoded"
    std::string userAgent;            // empty: the fetch default agent
    std::string extraHeaders;         // "Name: value" lines separated by CR LF
    bool addForwardedFor = false;     // add the three client-address lines to extraHeaders
};

// Arguments of WebClient::GetRedirectLocation beyond the URL.
struct RedirectProbeOptions {
    bool synchronous = false;
    std::string referer;
    std::optional<std::string> cookie;
    std::string proxy;                // non-empty: used as a proxy text ("-1" is not special here)
    std::string userAgent;
    std::string postText;             // non-empty: POST with this body
    std::string extraHeaders;
};

// Optional arguments of WebClient::FetchWithWinInet. postBytes, cookie, responseCookies
// and responseBody are written back into the struct.
struct WinInetFetchOptions {
    std::string postText;             // non-empty: POST
    int charsetCode = 0;              // in/out, as for the HTTP fetch
    std::string proxy;                // empty: direct connection
    std::string postBytes;            // in/out: threaded mode fills an empty one from postText
    std::string referer;              // empty: the trimmed URL after the fragment is cut
    std::string cookie;               // in/out: direct mode merges the response cookies into it
    std::string extraHeaders;         // further header lines separated by CR LF
    bool direct = false;              // false: threaded mode with a hard limit; true: on this thread
    std::string responseCookies;      // out
    std::string responseBody;         // out: the raw body
    bool addForwardedFor = false;
};

// One page fetcher: a request object plus the cookie text kept between fetches.
// Used by one thread only. Nothing throws; failures come back as empty results
// (empty text or bytes, status 0).
//
// The page worker's calls are simply
//     WebClient client;
//     std::string page = client.FetchWithWinHttp(address, 60.0);
//     std::string page = client.FetchWithWinInet(address, 60.0);
// Callers that need the optional arguments fill an options struct and pass it by
// reference; its in/out fields hold the results afterwards:
//     HttpFetchOptions options;
//     options.cookie = "a=1";
//     std::string page = client.FetchWithWinHttp(address, 30.0, options);
//     int code = options.charsetCode;
class WebClient {
public:
    WebClient();
    ~WebClient();
    WebClient(const WebClient&) = delete;
    WebClient& operator=(const WebClient&) = delete;
    WebClient(WebClient&&) noexcept;
    WebClient& operator=(WebClient&&) noexcept;

    // One synchronous GET without redirect following; the Location header.
    [[nodiscard]] std::string QuickGetLocation(std::string_view url);
    void Reserved1() {}
    // A fresh request object.
    void Reset();
    void CreateRequest();
    // Normalises `url` in place (scheme added, fragment cut), then opens it.
    void Open(std::string_view method, std::string& url, bool async = false);
    // The current request object, for reading what it holds; null never after construction.
    [[nodiscard]] HttpRequest* GetRequestObject() const { return request_.get(); }
    [[nodiscard]] int GetStatus() const;
    [[nodiscard]] std::string GetStatusText() const;
    [[nodiscard]] std::string GetResponseText() const;
    [[nodiscard]] std::string GetResponseBody() const;
    // Writes the value when given, then reads the option back. Index 4: SSL errors
    // to ignore (certificates are verified whatever it holds); index 6: follow redirects.
    int Option(int index, std::optional<int> intValue = std::nullopt);
    void Reserved2() {}
    // Proxy text: "server[,user,password]"; setting 2 names a proxy, 0 restores the default.
    void SetProxy(int setting = 2, std::string_view proxy = {}, std::string_view bypass = {});
    // flags 1: the credentials are for the proxy.
    void SetCredentials(std::string_view user, std::string_view password, int flags = 0);
    void SetRequestHeader(std::string_view name, std::string_view value);
    [[nodiscard]] std::string GetResponseHeader(std::string_view name) const;
    [[nodiscard]] std::string GetAllResponseHeaders() const;
    // Bytes win over text; neither: no body.
    void Send(std::string_view bodyText = {}, std::string_view bodyBytes = {});
    void WaitForResponse(int seconds);
    void Abort();
    // Absent or < 1 values of the last three take resolveMs.
    void SetTimeouts(int resolveMs, int connectMs = 0, int sendMs = 0, int receiveMs = 0);
    void SetClientCertificate(std::string_view certificate);
    void SetAutoLogonPolicy(int policy);
    [[nodiscard]] std::string GetCookie(std::string_view name) const;
    [[nodiscard]] std::string GetSetCookieLines() const;

    // Full page fetch returning local text.
    std::string FetchWithWinHttp(std::string_view url, double timeoutSeconds = 0.0);
    std::string FetchWithWinHttp(std::string_view url, double timeoutSeconds, HttpFetchOptions& options);
    // Full page fetch returning the body bytes, un-gzipped when they are gzip.
    std::string FetchBytesWithWinHttp(std::string_view url, int timeoutSeconds = 0);
    std::string FetchBytesWithWinHttp(std::string_view url, int timeoutSeconds, HttpFetchOptions& options);

    // Three client-address header lines with one random address, no final CR LF.
    [[nodiscard]] static std::string MakeForwardedForHeaders();
    std::string ClearCookies();

    // The second fetch path. The short form is the page worker's threaded GET.
    std::string FetchWithWinInet(std::string_view url, double timeoutSeconds = 0.0);
    // `url` is in/out: the fragment is cut, the threaded mode adds "http://".
    std::string FetchWithWinInet(std::string& url, double timeoutSeconds, WinInetFetchOptions& options);

    // Probes: redirects are not followed; StoredCookies is neither read nor written.
    [[nodiscard]] std::string GetRedirectLocation(std::string_view url, const RedirectProbeOptions& options = {});
    // 2 when the response headers declare UTF-8, else 0.
    [[nodiscard]] int DetectUtf8Charset(std::string_view url, bool synchronous = false, std::string_view referer = {},
                                        const std::optional<std::string>& cookie = std::nullopt);
    std::string ResetAll();
    // 0 when no response arrived.
    [[nodiscard]] int GetStatusCode(std::string_view url, bool synchronous = false, int waitSeconds = 0,
                                    const std::optional<std::string>& cookie = std::nullopt,
                                    const std::optional<std::string>& proxy = std::nullopt);
    // The Set-Cookie lines as "pair; attributes; " text.
    [[nodiscard]] std::string GetResponseCookies() const;

    [[nodiscard]] const std::string& StoredCookies() const { return storedCookies_; }
    void SetStoredCookies(std::string cookies) { storedCookies_ = std::move(cookies); }

private:
    std::unique_ptr<HttpRequest> request_;
    std::string storedCookies_;
};

} // namespace harvina
