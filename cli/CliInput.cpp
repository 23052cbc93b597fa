#include "cli/CliInput.h"

#include "platform/Charset.h"

namespace harvina {

namespace {

bool IsUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                                                   : (lead & 0xF8) == 0xF0 ? 4 : 0;
        if (length == 0 || i + length > bytes.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

std::string ToLocal(std::string_view text) { return IsUtf8(text) ? LocalText(text) : std::string(text); }

} // namespace

std::string InputBoxText(std::string_view contents)
{
    if (contents.substr(0, 3) == "\xEF\xBB\xBF")
        contents.remove_prefix(3);
    std::string text;
    text.reserve(contents.size() + contents.size() / 32);
    std::size_t start = 0;
    while (start <= contents.size()) {
        std::size_t end = contents.find('\n', start);
        const bool last = end == std::string_view::npos;
        if (last)
            end = contents.size();
        std::string_view line = contents.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (start > 0)
            text += "\r\n";
        text += line;
        if (last)
            break;
        start = end + 1;
    }
    return ToLocal(text);
}

std::string InputBoxText(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += ToLocal(lines[i]);
    }
    return text;
}

} // namespace harvina
