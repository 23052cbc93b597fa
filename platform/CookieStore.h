#pragma once

#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace harvina {

inline constexpr size_t kMaxCookieHosts = 1024;
inline constexpr size_t kMaxCookiesPerHost = 64;
inline constexpr size_t kMaxCookieBytes = 4096;

// The process-wide cookie jar of the second request path: one set of name=value
// pairs per host, filled explicitly and sent by later requests that allow cookies.
// Attributes (path, expiry, domain) are not kept.
class CookieStore {
public:
    static CookieStore& Instance();

    // `address` is "http://host[:port]/..."; `data` is "value[; attributes]".
    // Returns false when the address has no host or a cap refuses the cookie.
    bool Set(std::string_view address, std::string_view name, std::string_view data);
    // "a=1; b=2" for the host (ASCII case ignored), empty when it has none.
    [[nodiscard]] std::string CookieHeader(std::string_view host) const;
    void Clear();

private:
    CookieStore() = default;

    mutable std::mutex mutex_;
    std::map<std::string, std::map<std::string, std::string>> hosts_;
};

} // namespace harvina
