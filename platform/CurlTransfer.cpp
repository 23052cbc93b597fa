#include "platform/CurlTransfer.h"

#include "platform/CappedAppend.h"
#include "platform/CurlGlobal.h"

#include <algorithm>
#include <curl/curl.h>

namespace harvina {
namespace {

using Clock = std::chrono::steady_clock;

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char a = text[i], b = prefix[i];
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z')
            b = static_cast<char>(b - 'A' + 'a');
        if (a != b)
            return false;
    }
    return true;
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

struct CurlTransfer::Callbacks {
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    static size_t OnBody(char* data, size_t size, size_t count, void* self);
    static int OnProgress(void* self, curl_off_t dlTotal, curl_off_t dlNow, curl_off_t ulTotal, curl_off_t ulNow);
    static int OnConnected(void* self, char*, char*, int, int);
};

struct CurlTransfer::Handles {
    std::unique_ptr<CURLM, MultiDeleter> multi;
    std::unique_ptr<CURL, EasyDeleter> easy;
    std::unique_ptr<curl_slist, ListDeleter> headers;
    bool attached = false;
    std::string method = "GET";
    std::string requestBody;

    ~Handles()
    {
        if (attached)
            curl_multi_remove_handle(multi.get(), easy.get());
    }
};

CurlTransfer::CurlTransfer() : handles_(std::make_unique<Handles>())
{
    EnsureCurlReady();
    handles_->multi.reset(curl_multi_init());
    handles_->easy.reset(curl_easy_init());
    CURL* easy = handles_->easy.get();
    if (!easy || !handles_->multi)
        return;
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    // An explicit empty proxy keeps libcurl from reading the proxy environment.
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &CurlTransfer::Callbacks::OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlTransfer::Callbacks::OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &CurlTransfer::Callbacks::OnProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, &CurlTransfer::Callbacks::OnConnected);
    curl_easy_setopt(easy, CURLOPT_PREREQDATA, this);
}

CurlTransfer::~CurlTransfer() = default;

void CurlTransfer::SetMethod(std::string_view method)
{
    handles_->method = method.empty() ? std::string("GET") : std::string(method);
}

void CurlTransfer::SetUrl(std::string_view url)
{
    if (handles_->easy)
        curl_easy_setopt(handles_->easy.get(), CURLOPT_URL, std::string(url).c_str());
}

void CurlTransfer::SetHeaders(const std::vector<std::pair<std::string, std::string>>& headers)
{
    curl_slist* list = nullptr;
    bool expectGiven = false;
    auto add = [&list](const std::string& line) {
        if (curl_slist* grown = curl_slist_append(list, line.c_str()))
            list = grown;
    };
    for (const auto& [name, value] : headers) {
        // A line break inside a name or value would smuggle in headers of its own.
        if (name.empty() || HasLineBreak(name) || HasLineBreak(value))
            continue;
        expectGiven = expectGiven || StartsWithNoCase(name, "expect");
        // "Name;" is libcurl's spelling of a header sent with an empty value.
        add(value.empty() ? name + ";" : name + ": " + value);
    }
    if (!expectGiven)
        add("Expect:");
    handles_->headers.reset(list);
    if (handles_->easy)
        curl_easy_setopt(handles_->easy.get(), CURLOPT_HTTPHEADER, list);
}

void CurlTransfer::SetBody(std::string body)
{
    handles_->requestBody = std::move(body);
}

void CurlTransfer::SetUserAgent(std::string_view agent)
{
    if (handles_->easy && !HasLineBreak(agent))
        curl_easy_setopt(handles_->easy.get(), CURLOPT_USERAGENT, agent.empty() ? nullptr : std::string(agent).c_str());
}

void CurlTransfer::SetFollowRedirects(bool follow)
{
    if (handles_->easy)
        curl_easy_setopt(handles_->easy.get(), CURLOPT_FOLLOWLOCATION, follow ? 1L : 0L);
}

void CurlTransfer::SetProxy(std::string_view server, std::string_view bypass)
{
    CURL* easy = handles_->easy.get();
    if (!easy)
        return;
    curl_easy_setopt(easy, CURLOPT_PROXY, std::string(server).c_str());
    std::string noProxy(bypass);
    std::replace(noProxy.begin(), noProxy.end(), ';', ',');
    curl_easy_setopt(easy, CURLOPT_NOPROXY, noProxy.empty() ? nullptr : noProxy.c_str());
}

void CurlTransfer::SetProxyCredentials(std::string_view user, std::string_view password)
{
    if (!handles_->easy)
        return;
    curl_easy_setopt(handles_->easy.get(), CURLOPT_PROXYUSERNAME, std::string(user).c_str());
    curl_easy_setopt(handles_->easy.get(), CURLOPT_PROXYPASSWORD, std::string(password).c_str());
}

void CurlTransfer::SetServerCredentials(std::string_view user, std::string_view password)
{
    if (!handles_->easy)
        return;
    curl_easy_setopt(handles_->easy.get(), CURLOPT_USERNAME, std::string(user).c_str());
    curl_easy_setopt(handles_->easy.get(), CURLOPT_PASSWORD, std::string(password).c_str());
}

void CurlTransfer::SetClientCertificate(std::string_view path)
{
    if (handles_->easy)
        curl_easy_setopt(handles_->easy.get(), CURLOPT_SSLCERT, path.empty() ? nullptr : std::string(path).c_str());
}

void CurlTransfer::Start()
{
    if (state_ != TransferState::Idle)
        return;
    state_ = TransferState::Running;
    CURL* easy = handles_->easy.get();
    if (!easy || !handles_->multi) {
        Finish(CURLE_FAILED_INIT);
        return;
    }
    const std::string& method = handles_->method;
    const std::string& body = handles_->requestBody;
    if (method == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else if (method == "GET" && body.empty()) {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    } else {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body.data());
        if (method != "POST")
            curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
    }
    if (limits_.connectMs > 0) {
        // libcurl's connect limit covers name resolution too, so it is the sum of both.
        const long total = static_cast<long>(limits_.connectMs) + std::max(limits_.resolveMs, 0);
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, total);
    } else if (limits_.resolveMs > 0) {
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits_.resolveMs));
    }
    lastActivity_ = Clock::now();
    if (curl_multi_add_handle(handles_->multi.get(), easy) != CURLM_OK) {
        Finish(CURLE_FAILED_INIT);
        return;
    }
    handles_->attached = true;
}

bool CurlTransfer::RunToEnd(const std::atomic<bool>* cancelled)
{
    return RunUntil(Clock::time_point::max(), cancelled);
}

bool CurlTransfer::RunUntil(Clock::time_point deadline, const std::atomic<bool>* cancelled)
{
    if (state_ != TransferState::Running)
        return state_ == TransferState::Finished;
    CURLM* multi = handles_->multi.get();
    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            Finish(CURLE_FAILED_INIT);
            return true;
        }
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
            if (message->msg == CURLMSG_DONE) {
                Finish(message->data.result);
                return true;
            }
        }
        if (running == 0) {
            Finish(CURLE_RECV_ERROR);
            return true;
        }
        const auto now = Clock::now();
        if (cancelled && cancelled->load()) {
            Finish(CURLE_ABORTED_BY_CALLBACK);
            return true;
        }
        if (InactivityExpired(now)) {
            Finish(CURLE_OPERATION_TIMEDOUT);
            return true;
        }
        if (now >= deadline)
            return false;
        curl_multi_poll(multi, nullptr, 0, WaitBudgetMs(now, deadline), nullptr);
    }
}

void CurlTransfer::Cancel()
{
    if (state_ == TransferState::Running)
        Finish(CURLE_ABORTED_BY_CALLBACK);
}

void CurlTransfer::Finish(int code)
{
    if (handles_->attached) {
        curl_multi_remove_handle(handles_->multi.get(), handles_->easy.get());
        handles_->attached = false;
    }
    state_ = TransferState::Finished;
    const bool cutAtCap = code == CURLE_WRITE_ERROR && result_.truncated;
    result_.complete = !headersOverflow_ && (code == CURLE_OK || cutAtCap);
    if (handles_->easy) {
        long status = 0;
        curl_easy_getinfo(handles_->easy.get(), CURLINFO_RESPONSE_CODE, &status);
        result_.status = status;
    }
    result_.body = std::move(body_);
    body_.clear();
}

bool CurlTransfer::InactivityExpired(Clock::time_point now) const
{
    if (!connected_)
        return false;
    const int limit = uploading_ ? limits_.sendMs : limits_.receiveMs;
    return limit > 0 && now - lastActivity_ > std::chrono::milliseconds(limit);
}

int CurlTransfer::WaitBudgetMs(Clock::time_point now, Clock::time_point deadline) const
{
    auto budget = std::chrono::milliseconds(kTransferPollMs);
    if (deadline - now < budget)
        budget = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now) + std::chrono::milliseconds(1);
    return static_cast<int>(std::max<long long>(budget.count(), 1));
}

size_t CurlTransfer::Callbacks::OnHeader(char* data, size_t size, size_t count, void* self)
{
    auto* transfer = static_cast<CurlTransfer*>(self);
    const size_t length = size * count;
    std::string_view line(data, length);
    transfer->lastActivity_ = Clock::now();
    transfer->headerBytes_ += length;
    if (transfer->headerBytes_ > kMaxHeaderBlockBytes) {
        transfer->headersOverflow_ = true;
        return 0;
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    TransferResult& result = transfer->result_;
    if (line.substr(0, 5) == "HTTP/") {
        // A new response (after a redirect or an interim 1xx) replaces the previous one.
        result.statusLine = std::string(line);
        result.headerLines.clear();
        transfer->body_.clear();
        result.truncated = false;
        transfer->headerBytes_ = length;
    } else if (!line.empty()) {
        result.headerLines.emplace_back(line);
    }
    return length;
}

size_t CurlTransfer::Callbacks::OnBody(char* data, size_t size, size_t count, void* self)
{
    auto* transfer = static_cast<CurlTransfer*>(self);
    const size_t length = size * count;
    transfer->lastActivity_ = Clock::now();
    if (!AppendCapped(transfer->body_, std::string_view(data, length), kMaxBodyBytes)) {
        transfer->result_.truncated = true;
        return 0;
    }
    return length;
}

int CurlTransfer::Callbacks::OnProgress(void* self, curl_off_t, curl_off_t dlNow, curl_off_t ulTotal, curl_off_t ulNow)
{
    auto* transfer = static_cast<CurlTransfer*>(self);
    if (dlNow != transfer->lastDown_ || ulNow != transfer->lastUp_) {
        transfer->lastDown_ = dlNow;
        transfer->lastUp_ = ulNow;
        transfer->lastActivity_ = Clock::now();
    }
    transfer->uploading_ = transfer->connected_ && ulTotal > 0 && ulNow < ulTotal;
    return 0;
}

int CurlTransfer::Callbacks::OnConnected(void* self, char*, char*, int, int)
{
    auto* transfer = static_cast<CurlTransfer*>(self);
    transfer->connected_ = true;
    transfer->uploading_ = !transfer->handles_->requestBody.empty();
    transfer->lastActivity_ = Clock::now();
    transfer->lastDown_ = 0;
    transfer->lastUp_ = 0;
    return CURL_PREREQFUNC_OK;
}

} // namespace harvina
