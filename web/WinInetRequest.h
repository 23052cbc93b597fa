#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

namespace harvina {

inline constexpr size_t kThreadedReadChunk = 2048;
inline constexpr size_t kThreadedHeaderBuffer = 2048;
inline constexpr size_t kDirectReadChunk = 1024;
inline constexpr size_t kDirectHeaderBuffer = 5000;
inline constexpr std::string_view kWinInetAgent =
    "Mozilla/5.0 (Windows NT 6.1) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/30.0.1599.101 Safari/537.36";

// What the calling thread hands to a request thread and gets back from it. The
// outputs are written only at the very end of the request thread's work.
struct WinInetRequestRecord {
    std::string url;
    std::string method;
    std::string proxy;
    std::string headers;
    std::string body;
    std::string cookie;
    bool followRedirects = true;
    std::string responseBody;
    std::string responseCookies;
    std::string responseHeaders;
};

// The request thread's work on a record. Once `abandoned` is set the request stops
// early and nothing is written back or stored.
void PerformWinInetRequest(WinInetRequestRecord& record, const std::atomic<bool>* abandoned = nullptr);

// Runs the request on a thread of its own and waits for it at most waitSeconds.
// When the limit passes the result is empty and nothing is handed back; the request
// is abandoned and whatever it does later is discarded. `url` gets "http://" when
// it has no scheme.
std::string WinInetThreadedRequest(std::string& url, bool post, std::string_view proxy, std::string_view headers,
                                   std::string_view body, std::string_view cookie, int waitSeconds,
                                   std::string& responseHeaders, std::string& responseCookies,
                                   bool followRedirects = true);

// The same request on the calling thread, bounded by the request time-outs instead.
// A non-empty `cookie` receives its merge with the response cookies.
std::string WinInetDirectRequest(std::string_view url, bool post, std::string_view postText, int timeoutSeconds,
                                 std::string_view body, std::string_view proxy, std::string& cookie,
                                 std::string& responseCookies, std::string_view headers,
                                 std::string& responseHeaders, bool followRedirects = true);

} // namespace harvina
