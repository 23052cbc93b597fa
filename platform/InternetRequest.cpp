#include "platform/InternetRequest.h"

#include "platform/CookieStore.h"
#include "platform/HeaderBlanks.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace harvina {
namespace {

bool IsCookieName(std::string_view name)
{
    constexpr std::string_view kCookie = "cookie";
    if (name.size() != kCookie.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] - 'A' + 'a') : name[i];
        if (c != kCookie[i])
            return false;
    }
    return true;
}

// Raw header text to (name, value) pairs; lines without a colon are dropped.
std::vector<std::pair<std::string, std::string>> ParseHeaderText(std::string_view text)
{
    std::vector<std::pair<std::string, std::string>> headers;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        start = end + 1;
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string_view name = TrimHeaderBlanks(line.substr(0, colon));
        if (!name.empty())
            headers.emplace_back(std::string(name), std::string(TrimHeaderBlanks(line.substr(colon + 1))));
    }
    return headers;
}

} // namespace

InternetRequest::InternetRequest(InternetTarget target, std::string_view method, std::string_view path, unsigned flags)
    : target_(std::move(target)), method_(method.empty() ? "GET" : method), path_(path), flags_(flags)
{
    if (path_.empty() || path_.front() != '/')
        path_.insert(path_.begin(), '/');
}

std::string InternetRequest::Url() const
{
    const bool secure = (flags_ & kInternetFlagSecure) != 0;
    return std::string(secure ? "https://" : "http://") + target_.host + ":" + std::to_string(target_.port) + path_;
}

bool InternetRequest::Send(std::string_view headerText, std::string_view body, const std::atomic<bool>* cancelled)
{
    auto headers = ParseHeaderText(headerText);
    if ((flags_ & kInternetFlagNoCookies) == 0) {
        const bool cookieGiven = std::any_of(headers.begin(), headers.end(), [](const auto& h) { return IsCookieName(h.first); });
        const std::string stored = CookieStore::Instance().CookieHeader(target_.host);
        if (!cookieGiven && !stored.empty())
            headers.emplace_back("Cookie", stored);
    }
    CurlTransfer transfer;
    transfer.SetMethod(method_);
    transfer.SetUrl(Url());
    transfer.SetHeaders(headers);
    transfer.SetBody(std::string(body));
    transfer.SetUserAgent(target_.agent);
    transfer.SetLimits(target_.limits);
    transfer.SetFollowRedirects((flags_ & kInternetFlagNoAutoRedirect) == 0);
    transfer.SetProxy(target_.proxy);
    transfer.Start();
    transfer.RunToEnd(cancelled);
    response_ = transfer.TakeResult();
    readOffset_ = 0;
    responded_ = !response_.statusLine.empty() && !(cancelled && cancelled->load());
    if (!responded_)
        response_ = TransferResult{};
    return responded_;
}

size_t InternetRequest::Read(char* buffer, size_t size)
{
    const size_t count = std::min(size, response_.body.size() - readOffset_);
    if (count > 0)
        std::memcpy(buffer, response_.body.data() + readOffset_, count);
    readOffset_ += count;
    return count;
}

std::optional<std::string> InternetRequest::RawHeaders(size_t bufferSize) const
{
    if (!responded_)
        return std::nullopt;
    std::string raw = response_.statusLine + "\r\n";
    for (const std::string& line : response_.headerLines)
        raw += line + "\r\n";
    raw += "\r\n";
    if (raw.size() + 1 > bufferSize)
        return std::nullopt;
    return raw;
}

} // namespace harvina
