#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace harvina {

// CharsetCode: how a response body becomes local text. Other values behave like 1.
inline constexpr int kCharsetServiceText = -2; // the request object's own decoded text
inline constexpr int kCharsetRawBytes = -1;    // the bytes unchanged
inline constexpr int kCharsetDetect = 0;
inline constexpr int kCharsetLocal = 1;
inline constexpr int kCharsetUtf8 = 2;
inline constexpr int kCharsetUtf16Le = 3;
inline constexpr int kCharsetUtf16Be = 4;
inline constexpr int kCharsetBig5 = 5;
inline constexpr int kCharsetBig5Hkscs = 6;

// Inflation stops here: a decompression bomb cannot take more memory than this.
inline constexpr size_t kMaxInflatedBytes = 64u * 1024u * 1024u;
inline constexpr size_t kGzipStepBytes = 8192;

// Body bytes (gzip undone first) to local text: byte-order mark, meta declaration,
// UTF-8 shape, else the bytes as they are.
[[nodiscard]] std::string DecodeBody(std::string_view body, int code);
// What inflated, up to kMaxInflatedBytes; a truncated or corrupt stream gives the part before the fault.
[[nodiscard]] std::string GunzipBody(std::string_view compressed);
// 0 none, 2 UTF-8, 5 BIG5, 6 BIG5-HKSCS, from the meta elements of the page's head.
[[nodiscard]] int DetectMetaCharset(std::string_view page);
// Only one- to three-byte sequences count, and at least one multi-byte one is needed.
[[nodiscard]] bool LooksLikeUtf8(std::string_view bytes);
// Empty when the conversion is unknown or gives nothing; no byte-order mark in the result.
[[nodiscard]] std::string ConvertCharset(std::string_view bytes, std::string_view fromCharset, std::string_view toCharset);
// Do response headers declare UTF-8 (charset=utf-8, bare or quoted, case ignored)?
[[nodiscard]] bool DeclaresUtf8(std::string_view headers);
// Does the body start with the gzip magic bytes?
[[nodiscard]] bool IsGzip(std::string_view body);

} // namespace harvina
