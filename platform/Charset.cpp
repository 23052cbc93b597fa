#include "platform/Charset.h"

#include <cerrno>
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

} // namespace

std::string ConvertBytes(std::string_view bytes, const char* fromCharset, const char* toCharset)
{
    if (bytes.empty())
        return {};
    IconvHandle cd(toCharset, fromCharset);
    if (!cd.valid())
        return {};

    std::string out;
    out.reserve(bytes.size() * 2 + 16);
    char buffer[16384];
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();

    while (inLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t rc = iconv(cd.get(), &in, &inLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (rc != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // EILSEQ (invalid sequence) or EINVAL (incomplete sequence at the end): skip one byte.
        ++in;
        --inLeft;
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    }
    // Flush any shift state.
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    iconv(cd.get(), nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
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
