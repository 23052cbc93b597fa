#include "web/WebClient.h"

#include "platform/HttpRequest.h"
#include "web/WebStrings.h"

#include <algorithm>
#include <chrono>
#include <random>

namespace harvina {
namespace {

constexpr int kOptionIgnoredSslErrors = 4;
constexpr int kOptionFollowRedirects = 6;
constexpr int kProxySettingNamed = 2;
constexpr int kCredentialsForProxy = 1;

} // namespace

WebClient::WebClient()
{
    CreateRequest();
}

WebClient::~WebClient() = default;
WebClient::WebClient(WebClient&&) noexcept = default;
WebClient& WebClient::operator=(WebClient&&) noexcept = default;

void WebClient::Reset()
{
    request_.reset();
    CreateRequest();
}

void WebClient::CreateRequest()
{
    request_ = std::make_unique<HttpRequest>();
}

void WebClient::Open(std::string_view method, std::string& url, bool async)
{
    if (!url.empty()) {
        if (!HasWebScheme(url))
            url.insert(0, "http://");
        if (const size_t hash = url.find('#'); hash != std::string::npos)
            url.erase(hash);
    }
    if (request_)
        request_->Open(method.empty() ? std::string_view("GET") : method, url, async);
}

int WebClient::GetStatus() const
{
    return request_ ? request_->Status() : 0;
}

std::string WebClient::GetStatusText() const
{
    return request_ ? request_->StatusText() : std::string();
}

std::string WebClient::GetResponseText() const
{
    return request_ ? request_->ResponseText() : std::string();
}

std::string WebClient::GetResponseBody() const
{
    return request_ ? request_->ResponseBody() : std::string();
}

int WebClient::Option(int index, std::optional<int> intValue)
{
    if (!request_)
        return 0;
    if (index == kOptionIgnoredSslErrors) {
        if (intValue)
            request_->SetIgnoredSslErrors(*intValue);
        return request_->IgnoredSslErrors();
    }
    if (index == kOptionFollowRedirects) {
        if (intValue)
            request_->SetFollowRedirects(*intValue != 0);
        return request_->FollowRedirects() ? 1 : 0;
    }
    return 0;
}

void WebClient::SetProxy(int setting, std::string_view proxy, std::string_view bypass)
{
    if (!request_)
        return;
    const std::vector<std::string> parts = SplitText(proxy, ",");
    const std::string server = parts.size() > 0 ? parts[0] : std::string();
    const std::string user = parts.size() > 1 ? parts[1] : std::string();
    const std::string password = parts.size() > 2 ? parts[2] : std::string();
    // Any setting but a named proxy restores the default: a direct connection.
    if (setting == kProxySettingNamed)
        request_->SetProxy(server, bypass);
    else
        request_->SetProxy({}, {});
    if (!user.empty() && !password.empty())
        SetCredentials(user, password, kCredentialsForProxy);
}

void WebClient::SetCredentials(std::string_view user, std::string_view password, int flags)
{
    if (request_)
        request_->SetCredentials(user, password, flags == kCredentialsForProxy);
}

void WebClient::SetRequestHeader(std::string_view name, std::string_view value)
{
    if (!request_)
        return;
    if (name.size() == 7 && StartsWithNoCase(name, "referer") && !HasWebScheme(value)) {
        request_->SetRequestHeader(name, "http://" + std::string(value));
        return;
    }
    request_->SetRequestHeader(name, value);
}

std::string WebClient::GetResponseHeader(std::string_view name) const
{
    return request_ ? request_->ResponseHeader(name) : std::string();
}

std::string WebClient::GetAllResponseHeaders() const
{
    return request_ ? request_->AllResponseHeaders() : std::string();
}

void WebClient::Send(std::string_view bodyText, std::string_view bodyBytes)
{
    Option(kOptionIgnoredSslErrors, 0);
    if (!request_)
        return;
    request_->Send(std::string(!bodyBytes.empty() ? bodyBytes : bodyText));
}

void WebClient::WaitForResponse(int seconds)
{
    if (request_)
        request_->WaitForResponse(seconds);
}

void WebClient::Abort()
{
    if (request_)
        request_->Abort();
}

void WebClient::SetTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs)
{
    if (!request_)
        return;
    auto orResolve = [resolveMs](int ms) { return ms < 1 ? resolveMs : ms; };
    request_->SetTimeouts(resolveMs, orResolve(connectMs), orResolve(sendMs), orResolve(receiveMs));
}

void WebClient::SetClientCertificate(std::string_view certificate)
{
    if (request_)
        request_->SetClientCertificate(certificate);
}

void WebClient::SetAutoLogonPolicy(int)
{
    // Automatic logon with the user's own Windows credentials has no counterpart here.
}

std::string WebClient::GetCookie(std::string_view name) const
{
    const std::string headers = GetAllResponseHeaders();
    for (std::string_view marker : {std::string_view("Set-Cookie: "), std::string_view("Set-Cookie:")}) {
        const std::string key = std::string(marker) + std::string(name) + "=";
        const size_t at = headers.find(key);
        if (at == std::string::npos)
            continue;
        const size_t start = at + key.size();
        // The value ends at the next ";" of its own line; a line without one gives nothing.
        const size_t lineEnd = std::min(headers.find(kCrLf, start), headers.size());
        const size_t semicolon = headers.find(';', start);
        if (semicolon != std::string::npos && semicolon < lineEnd && semicolon > start)
            return headers.substr(start, semicolon - start);
    }
    return {};
}

std::string WebClient::GetSetCookieLines() const
{
    std::string lines;
    for (const std::string& line : SplitText(GetAllResponseHeaders(), kCrLf)) {
        if (line.starts_with("Set-Cookie:"))
            lines += line + std::string(kCrLf);
    }
    return lines;
}

std::string WebClient::GetResponseCookies() const
{
    return ReplaceAll(ReplaceAll(GetSetCookieLines(), "Set-Cookie: ", ""), kCrLf, "; ");
}

std::string WebClient::MakeForwardedForHeaders()
{
    thread_local std::mt19937 generator;
    generator.seed(static_cast<std::mt19937::result_type>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count() ^ std::random_device{}()));
    std::uniform_int_distribution<int> octet(0, 255);
    std::string address;
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            address += '.';
        address += std::to_string(octet(generator));
    }
    return "X-Forward-For: " + address + std::string(kCrLf) + "X-Forwarded-For: " + address + std::string(kCrLf)
           + "REMOTE_ADDR: " + address;
}

std::string WebClient::ClearCookies()
{
    storedCookies_.clear();
    return storedCookies_;
}

std::string WebClient::ResetAll()
{
    Reset();
    return ClearCookies();
}

} // namespace harvina
