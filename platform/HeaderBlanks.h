#pragma once

#include <string_view>

namespace harvina {

// A header name or value without the spaces and tabs around it.
[[nodiscard]] std::string_view TrimHeaderBlanks(std::string_view text);

} // namespace harvina
