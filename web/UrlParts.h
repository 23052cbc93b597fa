#pragma once

#include <string>
#include <string_view>

namespace harvina {

// Address pieces for the second request path, taken as plain text (lower-cased host).
// "http://" is assumed when the address names no scheme.
[[nodiscard]] std::string UrlHost(std::string_view url, bool keepPort = false);
// The port after the host's last ":", else 443 for https and 80 otherwise.
[[nodiscard]] int UrlPort(std::string_view url);
// From the first "/" after the host to the end, query included; "/" when there is none.
[[nodiscard]] std::string UrlPath(std::string_view url);

} // namespace harvina
