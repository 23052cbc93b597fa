#include "web/DecodeBody.h"

#include "platform/CappedAppend.h"
#include "platform/Charset.h"
#include "platform/GzipInflater.h"
#include "text/ContainsKeywords.h"
#include "text/TextBetween.h"
#include "text/TextSearch.h"
#include "web/WebStrings.h"

#include <algorithm>

namespace harvina {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

const char* CharsetName(int code)
{
    switch (code) {
    case kCharsetUtf8: return "UTF-8";
    case kCharsetUtf16Le: return "UTF-16LE";
    case kCharsetUtf16Be: return "UTF-16BE";
    case kCharsetBig5: return "BIG5";
    case kCharsetBig5Hkscs: return "BIG5-HKSCS";
    default: return nullptr;
    }
}

bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

bool MetaMatches(std::string_view meta, std::string_view list)
{
    KeywordOptions options;
    options.anyOne = true;
    options.separator = "[fg]";
    return ContainsKeywords(meta, ExpandQuotes(list), options);
}

// Is there a "<meta" (case ignored) anywhere? "<" never occurs inside a double-byte
// character, so a byte scan finds exactly what the character-wise walk would.
bool MayHoldMeta(std::string_view page)
{
    constexpr std::string_view kMeta = "meta";
    for (size_t at = page.find('<'); at != std::string_view::npos; at = page.find('<', at + 1)) {
        if (page.size() - at - 1 < kMeta.size())
            return false;
        bool match = true;
        for (size_t i = 0; i < kMeta.size() && match; ++i) {
            char c = page[at + 1 + i];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            match = c == kMeta[i];
        }
        if (match)
            return true;
    }
    return false;
}

} // namespace

bool IsGzip(std::string_view body)
{
    return body.size() >= 2 && static_cast<unsigned char>(body[0]) == 0x1F && static_cast<unsigned char>(body[1]) == 0x8B;
}

std::string DecodeBody(std::string_view body, int code)
{
    std::string inflated;
    if (IsGzip(body)) {
        inflated = GunzipBody(body);
        body = inflated;
    }
    size_t position = 0;
    if (code != kCharsetDetect) {
        if (code == kCharsetUtf16Le || code == kCharsetUtf16Be)
            position = 2;
        else if (code == kCharsetUtf8 && body.starts_with(kUtf8Bom))
            position = 3;
    } else if (body.starts_with(kUtf8Bom)) {
        code = kCharsetUtf8;
        position = 3;
    } else if (body.starts_with(kUtf16LeBom)) {
        code = kCharsetUtf16Le;
        position = 2;
    } else if (body.starts_with(kUtf16BeBom)) {
        code = kCharsetUtf16Be;
        position = 2;
    } else {
        code = DetectMetaCharset(body);
    }
    const std::string_view rest = position < body.size() ? body.substr(position) : std::string_view();
    if (code == kCharsetDetect && LooksLikeUtf8(rest))
        code = kCharsetUtf8;
    std::string result;
    if (const char* name = CharsetName(code); name && !rest.empty())
        result = ConvertCharset(rest, name, kLocalCharset);
    if (result.empty())
        result = std::string(body);
    return result;
}

std::string GunzipBody(std::string_view compressed)
{
    GzipInflater inflater;
    std::string output;
    unsigned char buffer[kGzipStepBytes];
    size_t offset = 0;
    for (;;) {
        const size_t take = std::min(kGzipStepBytes, compressed.size() - offset);
        size_t consumed = 0;
        size_t produced = 0;
        const auto step = inflater.Decompress(reinterpret_cast<const unsigned char*>(compressed.data()) + offset, take,
                                              buffer, sizeof buffer, consumed, produced);
        offset += consumed;
        if (!AppendCapped(output, std::string_view(reinterpret_cast<const char*>(buffer), produced), kMaxInflatedBytes))
            break;
        if (step != GzipInflater::Step::More || (consumed == 0 && produced == 0))
            break;
    }
    return output;
}

int DetectMetaCharset(std::string_view page)
{
    static const std::string kUtf8List = "charset=UTF-8[fg]charset=''UTF-8''[fg]charset='UTF-8'";
    static const std::string kBig5List = "charset=Big5[fg]charset=''Big5''[fg]charset='Big5'";
    static const std::string kBig5HkscsList = "charset=Big5-HKSCS[fg]charset=''Big5-HKSCS''[fg]charset='Big5-HKSCS'";

    if (!MayHoldMeta(page))
        return kCharsetDetect;
    int headPosition = 0;
    std::string head = TextBetween(page, "<head>", "</head>", headPosition);
    const std::string_view scope = headPosition == -2 ? page : std::string_view(head);

    int position = 0;
    for (;;) {
        const std::string meta = TextBetween(scope, "<meta", ">", position);
        if (meta.empty())
            return kCharsetDetect;
        if (MetaMatches(meta, kUtf8List))
            return kCharsetUtf8;
        if (MetaMatches(meta, kBig5HkscsList))
            return kCharsetBig5Hkscs;
        if (MetaMatches(meta, kBig5List))
            return kCharsetBig5;
    }
}

bool LooksLikeUtf8(std::string_view bytes)
{
    bool multiByteSeen = false;
    size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const size_t left = bytes.size() - i - 1;
        if (c < 0x80) {
            ++i;
        } else if (left >= 1 && (c & 0xE0) == 0xC0 && IsContinuation(static_cast<unsigned char>(bytes[i + 1]))) {
            i += 2;
            multiByteSeen = true;
        } else if (left >= 2 && (c & 0xF0) == 0xE0 && IsContinuation(static_cast<unsigned char>(bytes[i + 1]))
                   && IsContinuation(static_cast<unsigned char>(bytes[i + 2]))) {
            i += 3;
            multiByteSeen = true;
        } else {
            return false;
        }
    }
    return multiByteSeen;
}

std::string ConvertCharset(std::string_view bytes, std::string_view fromCharset, std::string_view toCharset)
{
    std::string converted = ConvertBytes(bytes, std::string(fromCharset).c_str(), std::string(toCharset).c_str());
    // Some converters lead with a byte-order mark for Unicode targets; the result never carries one.
    const std::string target = LowerLocalText(toCharset);
    if (target == "utf-8" && converted.starts_with(kUtf8Bom))
        converted.erase(0, kUtf8Bom.size());
    else if ((target == "utf-16le" || target == "utf-16") && converted.starts_with(kUtf16LeBom))
        converted.erase(0, kUtf16LeBom.size());
    return converted;
}

bool DeclaresUtf8(std::string_view headers)
{
    static const std::string kList = ExpandQuotes("charset=utf-8|charset=''utf-8''|charset='utf-8'");
    KeywordOptions options;
    options.anyOne = true;
    return ContainsKeywords(headers, kList, options);
}

} // namespace harvina
