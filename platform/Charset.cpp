#include "platform/Charset.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <strings.h>
#include <iconv.h>

namespace harvina {
namespace {

class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~IconvHandle()
    {
        if (valid())
            iconv_close(handle_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return handle_; }

private:
    iconv_t handle_;
};

// Converts one span, skipping one byte wherever the converter refuses a
// sequence (invalid, or cut short at the end of the span).
void ConvertSpan(iconv_t cd, std::string_view bytes, std::string& out)
{
    char buffer[16384];
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (rc != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
}

void FlushShiftState(iconv_t cd, std::string& out)
{
    char buffer[64];
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
}

bool SameCharsetName(const char* a, const char* b) { return ::strcasecmp(a, b) == 0; }

// Every byte below 0x80 of UTF-8 is a whole character, and these targets
// write ASCII as itself, so ASCII runs (most of any web page) are copied as
// they are and only the runs between them go through the converter.
bool AsciiPassesThrough(const char* fromCharset, const char* toCharset)
{
    return SameCharsetName(fromCharset, "UTF-8") &&
           (SameCharsetName(toCharset, "GB18030") || SameCharsetName(toCharset, "UTF-8"));
}

size_t AsciiRunEnd(std::string_view bytes, size_t from)
{
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    size_t i = from;
    while (i + 8 <= bytes.size()) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        if (word & kHighBits)
            break;
        i += 8;
    }
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80)
        ++i;
    return i;
}

size_t NonAsciiRunEnd(std::string_view bytes, size_t from)
{
    size_t i = from;
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) >= 0x80)
        ++i;
    return i;
}

} // namespace

std::string ConvertBytes(std::string_view bytes, const char* fromCharset, const char* toCharset)
{
    if (bytes.empty())
        return {};
    IconvHandle cd(toCharset, fromCharset);
    if (!cd.valid())
        return {};

    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2 + 16);
    if (!AsciiPassesThrough(fromCharset, toCharset)) {
        ConvertSpan(cd.get(), bytes, out);
    } else {
        size_t i = 0;
        while (i < bytes.size()) {
            const size_t asciiEnd = AsciiRunEnd(bytes, i);
            out.append(bytes.data() + i, asciiEnd - i);
            const size_t runEnd = NonAsciiRunEnd(bytes, asciiEnd);
            if (runEnd > asciiEnd)
                ConvertSpan(cd.get(), bytes.substr(asciiEnd, runEnd - asciiEnd), out);
            i = runEnd;
        }
    }
    FlushShiftState(cd.get(), out);
    return out;
}

std::string LocalText(std::string_view utf8)
{
    return ConvertBytes(utf8, "UTF-8", kLocalCharset);
}

std::string Utf8Text(std::string_view local)
{
    return ConvertBytes(local, kLocalCharset, "UTF-8");
}

} // namespace harvina
