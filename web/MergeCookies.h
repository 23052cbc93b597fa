#pragma once

#include <string>

namespace harvina {

// Old cookie pairs merged under new ones (a new pair wins by name), pairs ending in
// "=deleted" dropped, repeats removed, joined by "; ". Spaces are removed from both
// arguments in place, and `cookie` receives the result, which is also returned.
std::string MergeCookies(std::string& cookie, std::string& newCookies);

} // namespace harvina
