#include "web/WinInetRequest.h"

#include "platform/CappedAppend.h"
#include "platform/CookieStore.h"
#include "platform/InternetSession.h"
#include "text/TextSearch.h"
#include "web/MergeCookies.h"
#include "web/UrlParts.h"
#include "web/WebStrings.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace harvina {
namespace {

constexpr std::string_view kThreadedAcceptLine =
    "Accept: image/gif, image/bmp, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*\r\n";
constexpr std::string_view kDirectAcceptLine = "Accept: */*\r\n";
constexpr std::string_view kAcceptLanguageLine = "Accept-Language: zh-cn\r\n";
constexpr std::string_view kContentTypeLine = "Content-Type: application/x-www-form-urlencoded\r\n";
constexpr size_t kSetCookiePrefixLength = 12; // "Set-Cookie: "

// The agent named by a "User-Agent:" line of the header text, else the default.
// The direct mode falls back to the text after the header text's first colon; it
// never runs past that line, so no header text leaks into the agent.
std::string AgentFromHeaders(std::string_view headers, bool directFallback)
{
    if (!ContainsNoCase(headers, "User-Agent:"))
        return std::string(kWinInetAgent);
    std::string agent;
    if (const size_t at = headers.find("User-Agent:"); at != std::string_view::npos) {
        const size_t start = at + 11;
        if (const size_t end = headers.find(kCrLf, start); end != std::string_view::npos)
            agent = TrimSpaces(headers.substr(start, end - start));
    }
    if (agent.empty() && directFallback) {
        std::string_view rest = headers.substr(headers.find(':') + 1);
        rest = rest.substr(0, rest.find_first_of("\r\n"));
        agent = TrimSpaces(rest);
    }
    return agent;
}

unsigned RequestFlags(bool noCookies, bool followRedirects, bool secure)
{
    unsigned flags = kInternetFlagReload | kInternetFlagNeedFile;
    if (noCookies)
        flags |= kInternetFlagNoCookies;
    if (!followRedirects)
        flags |= kInternetFlagNoAutoRedirect;
    flags |= secure ? kInternetFlagSecure : kInternetFlagIgnoreRedirectToHttps;
    return flags;
}

std::string ReadWholeBody(InternetRequest& request, size_t chunk)
{
    std::string body;
    std::string buffer(chunk, '\0');
    while (const size_t count = request.Read(buffer.data(), buffer.size())) {
        if (!AppendCapped(body, std::string_view(buffer.data(), count), kMaxBodyBytes))
            break;
    }
    return body;
}

// Every "Set-Cookie", whatever its case, spelt "Set-Cookie".
std::string CanonicalSetCookie(std::string text)
{
    constexpr std::string_view kName = "Set-Cookie";
    int at = FindLocalText(text, kName, 1, true);
    while (at > 0) {
        text.replace(static_cast<size_t>(at - 1), kName.size(), kName);
        at = FindLocalText(text, kName, at + static_cast<int>(kName.size()), true);
    }
    return text;
}

// "name=value;" per Set-Cookie line, each also handed to the process-wide store.
std::string StoreThreadedCookies(std::string_view headers, const std::string& host)
{
    std::string cookies;
    if (!ContainsNoCase(headers, "Set-Cookie: "))
        return cookies;
    for (const std::string& line : SplitText(headers, kCrLf)) {
        if (!ContainsNoCase(line, "Set-Cookie: ") || line.size() < kSetCookiePrefixLength)
            continue;
        const std::string rest = line.substr(kSetCookiePrefixLength);
        cookies += rest.substr(0, rest.find(';')) + ";";
        if (const size_t equals = rest.find('='); equals != std::string::npos)
            CookieStore::Instance().Set("http://" + host, rest.substr(0, equals), rest.substr(equals + 1));
    }
    return cookies;
}

// "name=value; name=value" from the Set-Cookie lines, attributes left out.
std::string DirectCookies(std::string_view headers)
{
    constexpr std::string_view kMarker = "Set-Cookie:";
    std::string cookies;
    for (const std::string& line : SplitText(headers, kCrLf)) {
        if (line.find("Set-Cookie") == std::string::npos)
            continue;
        const size_t marker = line.find(kMarker);
        const size_t start = marker == std::string::npos ? 0 : marker + kMarker.size();
        const size_t semicolon = line.find(';', start);
        if (semicolon == std::string::npos)
            cookies += TrimSpaces(ReplaceAll(line, kMarker, ""));
        else
            cookies += TrimSpaces(std::string_view(line).substr(start, semicolon - start));
        cookies += "; ";
    }
    if (cookies.size() >= 2)
        cookies.resize(cookies.size() - 2);
    return cookies;
}

struct SharedRequest {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::atomic<bool> abandoned{false};
    WinInetRequestRecord record;
};

} // namespace

void PerformWinInetRequest(WinInetRequestRecord& record, const std::atomic<bool>* abandoned)
{
    record.responseBody.clear();
    record.responseCookies.clear();
    record.responseHeaders.clear();
    const bool secure = StartsWithNoCase(record.url, "https://");
    const std::string host = UrlHost(record.url);
    const std::string path = UrlPath(record.url);
    const int port = UrlPort(record.url);
    const InternetSession session(AgentFromHeaders(record.headers, false),
                                  record.proxy.empty() ? InternetAccess::Direct : InternetAccess::Proxy,
                                  "http=" + record.proxy);
    const auto connection = session.Connect(host, port);
    if (!connection)
        return;
    InternetRequest request = connection->OpenRequest(
        record.method, path, RequestFlags(!TrimSpaces(record.cookie).empty(), record.followRedirects, secure));

    std::string headers = record.headers;
    if (!headers.empty())
        headers += kCrLf;
    if (!ContainsNoCase(headers, "Accept"))
        headers += kThreadedAcceptLine;
    if (!ContainsNoCase(headers, "Referer"))
        headers += "Referer: " + record.url + std::string(kCrLf);
    if (!ContainsNoCase(headers, "Accept-Language"))
        headers += kAcceptLanguageLine;
    const bool post = record.method == "POST";
    if (post && !record.body.empty()) {
        if (!ContainsNoCase(headers, "Content-Type"))
            headers += kContentTypeLine;
        if (!ContainsNoCase(headers, "Content-Length"))
            headers += "Content-Length: " + std::to_string(record.body.size()) + std::string(kCrLf);
    }
    if (!record.cookie.empty())
        headers += "Cookie: " + record.cookie + std::string(kCrLf) + std::string(kCrLf);
    request.Send(headers, post ? std::string_view(record.body) : std::string_view(), abandoned);
    std::string body = ReadWholeBody(request, kThreadedReadChunk);
    // Headers that do not fit the buffer count as absent: no cookies, no charset.
    std::string responseHeaders = request.RawHeaders(kThreadedHeaderBuffer).value_or(std::string());
    if (abandoned && abandoned->load())
        return;
    record.responseCookies = StoreThreadedCookies(responseHeaders, host);
    record.responseBody = std::move(body);
    record.responseHeaders = std::move(responseHeaders);
}

std::string WinInetThreadedRequest(std::string& url, bool post, std::string_view proxy, std::string_view headers,
                                   std::string_view body, std::string_view cookie, int waitSeconds,
                                   std::string& responseHeaders, std::string& responseCookies, bool followRedirects)
{
    if (TrimSpaces(url).empty())
        return {};
    if (!HasWebScheme(url))
        url.insert(0, "http://");
    auto shared = std::make_shared<SharedRequest>();
    WinInetRequestRecord& record = shared->record;
    record.url = url;
    record.method = post ? "POST" : "GET";
    record.proxy = proxy;
    record.headers = headers;
    record.body = body;
    record.cookie = cookie;
    record.followRedirects = followRedirects;
    try {
        // The request thread works on its own copy and publishes only if the caller
        // still waits, so an abandoned request can never reach the caller's data.
        std::thread([shared, work = record]() mutable {
            PerformWinInetRequest(work, &shared->abandoned);
            std::lock_guard lock(shared->mutex);
            if (shared->abandoned.load())
                return;
            shared->record = std::move(work);
            shared->finished = true;
            shared->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return {};
    }
    std::unique_lock lock(shared->mutex);
    const auto limit = std::chrono::seconds(waitSeconds > 0 ? waitSeconds : 0);
    if (!shared->done.wait_for(lock, limit, [&shared] { return shared->finished; })) {
        shared->abandoned.store(true);
        return {};
    }
    responseHeaders = std::move(shared->record.responseHeaders);
    responseCookies = std::move(shared->record.responseCookies);
    return std::move(shared->record.responseBody);
}

std::string WinInetDirectRequest(std::string_view url, bool post, std::string_view postText, int timeoutSeconds,
                                 std::string_view body, std::string_view proxy, std::string& cookie,
                                 std::string& responseCookies, std::string_view headers,
                                 std::string& responseHeaders, bool followRedirects)
{
    responseCookies.clear();
    responseHeaders.clear();
    const bool secure = LowerLocalText(url.substr(0, 5)) == "https";
    const std::string host = UrlHost(url);
    const std::string path = UrlPath(url);
    const int port = UrlPort(url);
    const std::string proxyList = secure ? std::string(proxy) : "http=" + std::string(proxy);
    InternetSession session(AgentFromHeaders(headers, true), InternetAccess::Proxy, proxyList);
    const int ms = SecondsToMs(timeoutSeconds);
    session.SetConnectTimeout(ms);
    session.SetSendTimeout(ms);
    session.SetReceiveTimeout(ms);
    const auto connection = session.Connect(host, port);
    if (!connection)
        return {};
    InternetRequest request = connection->OpenRequest(post ? "POST" : "GET", path,
                                                      RequestFlags(!cookie.empty(), followRedirects, secure));

    std::string text(headers);
    if (!text.empty())
        text += kCrLf;
    if (text.find("Accept:") == std::string::npos)
        text += kDirectAcceptLine;
    if (text.find("Accept-Language:") == std::string::npos)
        text += kAcceptLanguageLine;
    if (text.find("Content-Type:") == std::string::npos)
        text += kContentTypeLine;
    if (!cookie.empty())
        text += "Cookie: " + cookie + std::string(kCrLf);
    const std::string_view sendBody = post ? (body.empty() ? postText : body) : std::string_view();
    request.Send(text, sendBody);
    std::string received = ReadWholeBody(request, kDirectReadChunk);
    responseHeaders = CanonicalSetCookie(request.RawHeaders(kDirectHeaderBuffer).value_or(std::string()));
    responseCookies = DirectCookies(responseHeaders);
    if (!cookie.empty())
        MergeCookies(cookie, responseCookies);
    return received;
}

} // namespace harvina
