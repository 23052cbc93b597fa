#include "platform/HttpRequest.h"

#include "platform/Charset.h"
#include "platform/HeaderBlanks.h"

#include <chrono>

namespace harvina {
namespace {

// The request service's own defaults when no time-outs are set.
constexpr TransferLimits kDefaultLimits{0, 60000, 30000, 30000};

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool HasWebScheme(std::string_view url)
{
    auto startsWith = [url](std::string_view prefix) {
        if (url.size() < prefix.size())
            return false;
        for (size_t i = 0; i < prefix.size(); ++i) {
            if (LowerAscii(url[i]) != prefix[i])
                return false;
        }
        return true;
    };
    return startsWith("http://") || startsWith("https://");
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

// The charset parameter of a Content-Type value, without quotes; empty when absent.
std::string CharsetParameter(std::string_view contentType)
{
    std::string lowered;
    for (char c : contentType)
        lowered += LowerAscii(c);
    const size_t at = lowered.find("charset=");
    if (at == std::string::npos)
        return {};
    std::string_view value = contentType.substr(at + 8);
    value = value.substr(0, value.find(';'));
    value = TrimHeaderBlanks(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\''))
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

} // namespace

HttpRequest::HttpRequest() : limits_(kDefaultLimits) {}

HttpRequest::~HttpRequest() = default;

void HttpRequest::Open(std::string_view method, std::string_view url, bool async)
{
    transfer_.reset();
    headers_.clear();
    method_ = method;
    url_ = url;
    async_ = async;
    opened_ = true;
    lastWaitSeconds_ = -1;
}

void HttpRequest::SetRequestHeader(std::string_view name, std::string_view value)
{
    if (name.empty())
        return;
    for (auto& header : headers_) {
        if (EqualsNoCase(header.first, name)) {
            header.second = value;
            return;
        }
    }
    headers_.emplace_back(std::string(name), std::string(value));
}

void HttpRequest::SetTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs)
{
    limits_ = TransferLimits{resolveMs, connectMs, sendMs, receiveMs};
}

void HttpRequest::SetProxy(std::string_view server, std::string_view bypass)
{
    proxyServer_ = server;
    proxyBypass_ = bypass;
}

void HttpRequest::SetCredentials(std::string_view user, std::string_view password, bool forProxy)
{
    (forProxy ? proxyUser_ : serverUser_) = user;
    (forProxy ? proxyPassword_ : serverPassword_) = password;
}

void HttpRequest::Send(std::string body)
{
    if (!opened_)
        return;
    opened_ = false;
    // No scheme guessing: "host/page" or a file path is not an address.
    if (!HasWebScheme(url_))
        return;
    transfer_ = std::make_unique<CurlTransfer>();
    CurlTransfer& transfer = *transfer_;
    transfer.SetMethod(method_);
    transfer.SetUrl(url_);
    transfer.SetHeaders(headers_);
    transfer.SetBody(std::move(body));
    transfer.SetLimits(limits_);
    transfer.SetFollowRedirects(followRedirects_);
    transfer.SetProxy(proxyServer_, proxyBypass_);
    if (!proxyServer_.empty() && !proxyUser_.empty())
        transfer.SetProxyCredentials(proxyUser_, proxyPassword_);
    if (!serverUser_.empty())
        transfer.SetServerCredentials(serverUser_, serverPassword_);
    transfer.SetClientCertificate(clientCertificate_);
    transfer.Start();
    if (!async_)
        transfer.RunToEnd();
}

bool HttpRequest::WaitForResponse(double seconds)
{
    lastWaitSeconds_ = seconds;
    if (!transfer_)
        return false;
    const auto limit = std::chrono::duration<double>(seconds < 0 ? 0 : seconds);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::milliseconds>(limit);
    transfer_->RunUntil(deadline);
    return HasResponse();
}

void HttpRequest::Abort()
{
    if (transfer_)
        transfer_->Cancel();
}

const TransferResult* HttpRequest::Response() const
{
    if (!transfer_ || transfer_->State() != TransferState::Finished || !transfer_->Result().complete)
        return nullptr;
    return &transfer_->Result();
}

bool HttpRequest::HasResponse() const
{
    return Response() != nullptr;
}

int HttpRequest::Status() const
{
    const TransferResult* response = Response();
    return response ? static_cast<int>(response->status) : 0;
}

std::string HttpRequest::StatusText() const
{
    const TransferResult* response = Response();
    if (!response)
        return {};
    // "HTTP/1.1 404 Not Found": the reason phrase follows the second blank.
    const std::string& line = response->statusLine;
    const size_t first = line.find(' ');
    if (first == std::string::npos)
        return {};
    const size_t second = line.find(' ', first + 1);
    return second == std::string::npos ? std::string() : line.substr(second + 1);
}

std::string HttpRequest::ResponseHeader(std::string_view name) const
{
    const TransferResult* response = Response();
    if (!response)
        return {};
    for (const std::string& line : response->headerLines) {
        const size_t colon = line.find(':');
        if (colon != std::string::npos && EqualsNoCase(TrimHeaderBlanks(std::string_view(line).substr(0, colon)), name))
            return std::string(TrimHeaderBlanks(std::string_view(line).substr(colon + 1)));
    }
    return {};
}

std::string HttpRequest::AllResponseHeaders() const
{
    const TransferResult* response = Response();
    if (!response)
        return {};
    std::string all;
    for (const std::string& line : response->headerLines)
        all += line + "\r\n";
    return all;
}

const std::string& HttpRequest::ResponseBody() const
{
    static const std::string kNone;
    const TransferResult* response = Response();
    return response ? response->body : kNone;
}

std::string HttpRequest::ResponseText() const
{
    const TransferResult* response = Response();
    if (!response || response->body.empty())
        return {};
    std::string charset = CharsetParameter(ResponseHeader("Content-Type"));
    if (charset.empty())
        charset = "UTF-8";
    std::string text = ConvertBytes(response->body, charset.c_str(), kLocalCharset);
    return text.empty() ? response->body : text;
}

} // namespace harvina
