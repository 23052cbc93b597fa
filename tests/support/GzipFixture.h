#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace harvina::testing {

// `data` as one gzip member.
[[nodiscard]] std::string GzipBytes(std::string_view data, int level = 6);
// A valid gzip member that inflates to `inflatedSize` zero bytes (a multiple of
// 1 MiB), built without ever holding the inflated data.
[[nodiscard]] std::string GzipBomb(size_t inflatedSize);

} // namespace harvina::testing
