#include "input/UrlEncode.h"

#include "platform/Charset.h"

#include <algorithm>

namespace harvina {
namespace {

bool IsUnreserved(unsigned char byte)
{
    if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'))
        return true;
    return std::string_view("!()-.*_").find(static_cast<char>(byte)) != std::string_view::npos;
}

} // namespace

std::string UrlEncode(std::string_view text, bool utf8, bool keepAmpersandEquals, bool keepUnreserved)
{
    const std::string bytes = utf8 ? GbkToUtf8(text) : std::string(text);
    std::string out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (keepUnreserved && IsUnreserved(byte)) {
            out += c;
        } else if (keepAmpersandEquals && (c == '&' || c == '=')) {
            out += c;
        } else {
            std::string hex = ToBaseDigits(byte, 16);
            if (hex.size() < 2)
                hex.insert(0, 2 - hex.size(), '0');
            out += '%';
            out += hex;
        }
    }
    return out;
}

std::string GbkToUtf8(std::string_view text)
{
    return Utf8Text(text);
}

std::string ToBaseDigits(std::int64_t value, int base)
{
    static constexpr std::string_view kDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    if (value < 0 || base < 2 || base > static_cast<int>(kDigits.size()))
        return {};
    if (value == 0)
        return "0";
    std::string digits;
    while (value > 0) {
        digits += kDigits[static_cast<size_t>(value % base)];
        value /= base;
    }
    std::reverse(digits.begin(), digits.end());
    return digits;
}

} // namespace harvina
