#pragma once

#include <cstddef>

namespace harvina {

// A settings text, a side file or a per-user value larger than this is not loaded
// (and its file never touched) and never written.
inline constexpr std::size_t kMaxSettingsBytes = 64u << 20;
// Operations that may wait behind the one being carried out.
inline constexpr std::size_t kMaxPendingOperations = 4096;
// Section headers appended by one write before it gives up.
inline constexpr int kMaxHeaderAppends = 11;
// Items of one item list in a side file.
inline constexpr std::size_t kMaxListItems = 1u << 20;

} // namespace harvina
