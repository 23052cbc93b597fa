#pragma once

#include <string>
#include <string_view>

namespace harvina {

// Character-set conversion over iconv. Texts are byte strings; names are the
// iconv/IANA names the product uses ("GB18030", "UTF-8", "UTF-16LE", "BIG5", ...).
//
// Bytes that cannot be converted are skipped one at a time, so a page with a few
// broken bytes still converts; the result is empty only when the converter does
// not exist or the input is empty.
[[nodiscard]] std::string ConvertBytes(std::string_view bytes, const char* fromCharset, const char* toCharset);

// The local encoding of every text inside the core is GB18030 (a superset of GBK).
inline constexpr const char* kLocalCharset = "GB18030";

// Local text (GB18030) from UTF-8, and back. Source files are UTF-8, so the core's
// Chinese constants are written as UTF-8 literals and converted once, e.g.
//   static const std::string kHead = LocalText("#Vortan头#");
[[nodiscard]] std::string LocalText(std::string_view utf8);
[[nodiscard]] std::string Utf8Text(std::string_view local);

// File paths inside the core are local text too; the file system speaks UTF-8.
// Convert right at the system call, and back for paths the system hands us.
[[nodiscard]] inline std::string NativePath(std::string_view localPath) { return Utf8Text(localPath); }
[[nodiscard]] inline std::string LocalPath(std::string_view nativePath) { return LocalText(nativePath); }

} // namespace harvina
