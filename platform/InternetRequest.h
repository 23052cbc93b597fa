#pragma once

#include "platform/CurlTransfer.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace harvina {

inline constexpr unsigned kInternetFlagReload = 0x80000000u;
inline constexpr unsigned kInternetFlagNeedFile = 0x10u;
inline constexpr unsigned kInternetFlagNoCookies = 0x80000u;
inline constexpr unsigned kInternetFlagNoAutoRedirect = 0x200000u;
inline constexpr unsigned kInternetFlagSecure = 0x800000u;
inline constexpr unsigned kInternetFlagIgnoreRedirectToHttps = 0x4000u;

// Everything a request needs from its connection.
struct InternetTarget {
    std::string host;
    int port = 80;
    std::string agent;
    std::string proxy; // chosen for the request's scheme; empty: direct
    TransferLimits limits;
};

// One request of the second path. Send performs the exchange (the body is kept up to
// kMaxBodyBytes); Read then hands the body out in chunks of the caller's size.
// Without kInternetFlagNoCookies the process-wide cookie store's cookies for the
// host are sent. Reload and need-file have no effect here: nothing is cached.
class InternetRequest {
public:
    InternetRequest(InternetTarget target, std::string_view method, std::string_view path, unsigned flags);

    // `headerText`: raw header lines separated by CR LF (empty lines are skipped).
    // True when a response arrived; a body cut short keeps what came.
    bool Send(std::string_view headerText, std::string_view body, const std::atomic<bool>* cancelled = nullptr);
    // Up to `size` bytes of the body into `buffer`; 0 at the end.
    size_t Read(char* buffer, size_t size);
    // The status line and header lines, each ending in CR LF, then an empty line;
    // absent when there is no response or the text and its terminating zero do not
    // fit in `bufferSize` bytes.
    [[nodiscard]] std::optional<std::string> RawHeaders(size_t bufferSize) const;

    [[nodiscard]] std::string Url() const;

private:
    InternetTarget target_;
    std::string method_;
    std::string path_;
    unsigned flags_;
    bool responded_ = false;
    TransferResult response_;
    size_t readOffset_ = 0;
};

} // namespace harvina
