// DecodeBody and its steps on random bodies and charset codes. Part of the inputs
// are gzipped here first (whole or cut short), so inflation sees real streams.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "tests/fuzz/FuzzHost.h"
#include "tests/support/GzipFixture.h"
#include "web/DecodeBody.h"

using namespace harvina;

namespace {

bool IsAscii(std::string_view bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

void CheckDecode(std::string_view body, int code)
{
    const std::string text = DecodeBody(body, code);
    if (body.empty() && !text.empty())
        fuzz::Fail("an empty body decoded to text", text);
    // ASCII is the same in every charset but the UTF-16 ones.
    if (!IsGzip(body) && IsAscii(body) && code != kCharsetUtf16Le && code != kCharsetUtf16Be && text != body)
        fuzz::Fail("an ASCII body did not come back unchanged", std::string(body));
    const int meta = DetectMetaCharset(body);
    if (meta != 0 && meta != kCharsetUtf8 && meta != kCharsetBig5 && meta != kCharsetBig5Hkscs)
        fuzz::Fail("DetectMetaCharset gave an unknown code", std::to_string(meta));
    (void)LooksLikeUtf8(body);
    (void)DeclaresUtf8(body);
}

void CheckGzip(const std::string& plain, size_t cut, int code)
{
    const std::string whole = testing::GzipBytes(plain, 1);
    if (GunzipBody(whole) != plain)
        fuzz::Fail("a whole gzip stream did not inflate to its content", plain);
    if (!IsGzip(plain) && DecodeBody(whole, code) != DecodeBody(plain, code))
        fuzz::Fail("a gzip body decoded unlike its content", plain);
    // A stream cut short gives a beginning of its content, never more.
    const std::string cutShort = whole.substr(0, cut % (whole.size() + 1));
    const std::string part = GunzipBody(cutShort);
    if (plain.compare(0, part.size(), part) != 0)
        fuzz::Fail("a truncated gzip stream inflated to more than its content", cutShort);
    (void)DecodeBody(cutShort, code);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const int code = in.ConsumeIntegralInRange(-3, 8);
    const bool wrap = in.ConsumeBool();
    const size_t cut = in.ConsumeIntegral<uint16_t>();
    const std::string body = in.ConsumeRemainingBytesAsString();

    CheckDecode(body, code);
    if (GunzipBody(body).size() > kMaxInflatedBytes)
        fuzz::Fail("inflation ran past its cap", body);
    if (wrap)
        CheckGzip(body, cut, code);
    static const char* const kCharsets[] = {"UTF-8", "UTF-16LE", "UTF-16BE", "BIG5", "BIG5-HKSCS", "GB18030"};
    const char* charset = kCharsets[static_cast<size_t>(cut) % std::size(kCharsets)];
    const std::string there = ConvertCharset(body, "GB18030", charset);
    (void)ConvertCharset(there, charset, "GB18030");
    (void)ConvertCharset(body, charset, "GB18030");
    return 0;
}
