#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace harvina {

// Hard caps shared by both request paths.
inline constexpr size_t kMaxBodyBytes = 64u * 1024u * 1024u;
inline constexpr size_t kMaxHeaderBlockBytes = 1024u * 1024u;
inline constexpr long kMaxRedirects = 10;
// Longest single sleep of a transfer loop, so that cancellation and inactivity
// limits are noticed promptly.
inline constexpr int kTransferPollMs = 50;

// Limits of one transfer in milliseconds; 0 or less means none.
struct TransferLimits {
    int resolveMs = 0;
    int connectMs = 0;
    int sendMs = 0;    // inactivity while the request body goes out
    int receiveMs = 0; // inactivity while waiting for or reading the response
};

// What a finished transfer left behind. The header lines are those of the last
// response (redirect and interim responses are dropped), without their CR LF.
struct TransferResult {
    bool complete = false;  // the response arrived whole, or was cut at the body cap
    bool truncated = false; // the body reached kMaxBodyBytes
    long status = 0;
    std::string statusLine;
    std::vector<std::string> headerLines;
    std::string body;
};

enum class TransferState { Idle, Running, Finished };

// One HTTP exchange over libcurl, driven on the caller's thread. Only http and https
// are spoken (redirects included), TLS peers are verified, no proxy is taken from the
// environment, and no Accept-Encoding is sent unless given as a header.
class CurlTransfer {
public:
    CurlTransfer();
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    // Set-up, before Start.
    void SetMethod(std::string_view method);
    void SetUrl(std::string_view url);
    // "Name: value" lines; an empty value is sent as an empty header.
    void SetHeaders(const std::vector<std::pair<std::string, std::string>>& headers);
    void SetBody(std::string body);
    void SetUserAgent(std::string_view agent);
    void SetLimits(const TransferLimits& limits) { limits_ = limits; }
    void SetFollowRedirects(bool follow);
    // Empty server: a direct connection.
    void SetProxy(std::string_view server, std::string_view bypass = {});
    void SetProxyCredentials(std::string_view user, std::string_view password);
    void SetServerCredentials(std::string_view user, std::string_view password);
    void SetClientCertificate(std::string_view path);

    void Start();
    // Drives the transfer until it finishes or `deadline` passes; true when finished.
    bool RunUntil(std::chrono::steady_clock::time_point deadline, const std::atomic<bool>* cancelled = nullptr);
    bool RunToEnd(const std::atomic<bool>* cancelled = nullptr);
    // Stops a running transfer; the result is then incomplete.
    void Cancel();

    [[nodiscard]] TransferState State() const { return state_; }
    // Valid once finished; a failed transfer keeps what arrived but is not complete.
    [[nodiscard]] const TransferResult& Result() const { return result_; }
    [[nodiscard]] TransferResult TakeResult() { return std::move(result_); }

private:
    struct Handles;
    struct Callbacks;
    friend struct Callbacks;
    void Finish(int code);
    bool InactivityExpired(std::chrono::steady_clock::time_point now) const;
    int WaitBudgetMs(std::chrono::steady_clock::time_point now, std::chrono::steady_clock::time_point deadline) const;

    std::unique_ptr<Handles> handles_;
    TransferLimits limits_;
    TransferState state_ = TransferState::Idle;
    TransferResult result_;
    std::string body_;
    size_t headerBytes_ = 0;
    bool headersOverflow_ = false;
    bool connected_ = false;
    bool uploading_ = false;
    long long lastDown_ = 0;
    long long lastUp_ = 0;
    std::chrono::steady_clock::time_point lastActivity_{};
};

} // namespace harvina
