#include "platform/RegexSubject.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <memory>

namespace harvina {
namespace {

constexpr size_t kCheckpointStride = 64;
constexpr char32_t kReplacement = 0xFFFD;

// Two-byte codes: lead 0x81-0xFE, trail 0x40-0xFE except 0x7F.
constexpr size_t kLeadCount = 126;
constexpr size_t kTrailCount = 191;
// Four-byte codes of the BMP: 0x81308130 to 0x8439FE39.
constexpr size_t kFourByteBmpCount = 4 * 10 * 126 * 10;
constexpr uint32_t kSupplementaryFirstLead = 0x90;
constexpr uint32_t kSupplementaryLastLead = 0xE3;

bool IsTrail2(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }
bool IsDigit4(unsigned char c) { return c >= 0x30 && c <= 0x39; }
bool IsLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// The structural length of the unit at `i`; decoding and offset walks share it.
size_t UnitLength(const unsigned char* p, size_t left)
{
    if (p[0] < 0x80 || !IsLead(p[0]) || left < 2)
        return 1;
    if (IsTrail2(p[1]))
        return 2;
    if (left >= 4 && IsDigit4(p[1]) && IsLead(p[2]) && IsDigit4(p[3]))
        return 4;
    return 1;
}

struct IconvCloser {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};

// The GB18030 tables, read once from iconv: the system's converter is the reference.
class DecodeTables {
public:
    DecodeTables()
    {
        iconv_t raw = iconv_open("UTF-32LE", "GB18030");
        if (raw == reinterpret_cast<iconv_t>(-1)) {
            twoByte_.fill(kReplacement);
            fourByteBmp_.fill(kReplacement);
            return;
        }
        std::unique_ptr<void, IconvCloser> cd(raw);
        for (size_t lead = 0; lead < kLeadCount; ++lead) {
            for (size_t trail = 0; trail < kTrailCount; ++trail) {
                const unsigned char code[2] = {static_cast<unsigned char>(0x81 + lead),
                                               static_cast<unsigned char>(0x40 + trail)};
                twoByte_[lead * kTrailCount + trail] = IsTrail2(code[1]) ? Convert(raw, code, 2) : kReplacement;
            }
        }
        for (size_t index = 0; index < kFourByteBmpCount; ++index) {
            const unsigned char code[4] = {static_cast<unsigned char>(0x81 + index / 12600),
                                           static_cast<unsigned char>(0x30 + index / 1260 % 10),
                                           static_cast<unsigned char>(0x81 + index / 10 % 126),
                                           static_cast<unsigned char>(0x30 + index % 10)};
            fourByteBmp_[index] = Convert(raw, code, 4);
        }
    }

    char32_t TwoByte(const unsigned char* p) const { return twoByte_[(p[0] - 0x81u) * kTrailCount + (p[1] - 0x40u)]; }

    char32_t FourByte(const unsigned char* p) const
    {
        const uint32_t index = (p[0] - 0x81u) * 12600 + (p[1] - 0x30u) * 1260 + (p[2] - 0x81u) * 10 + (p[3] - 0x30u);
        if (index < kFourByteBmpCount)
            return fourByteBmp_[index];
        if (p[0] < kSupplementaryFirstLead || p[0] > kSupplementaryLastLead)
            return kReplacement;
        const uint32_t code = 0x10000 + index - (kSupplementaryFirstLead - 0x81u) * 12600;
        return code <= 0x10FFFF ? static_cast<char32_t>(code) : kReplacement;
    }

private:
    static char32_t Convert(iconv_t cd, const unsigned char* code, size_t size)
    {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(code));
        size_t inLeft = size;
        unsigned char out[8];
        char* dst = reinterpret_cast<char*>(out);
        size_t outLeft = sizeof out;
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1) || inLeft != 0 || outLeft != 4)
            return kReplacement;
        const char32_t c = out[0] | out[1] << 8 | out[2] << 16 | static_cast<char32_t>(out[3]) << 24;
        if (c >= 0xD800 && c <= 0xDFFF)
            return kReplacement;
        return c;
    }

    std::array<char32_t, kLeadCount * kTrailCount> twoByte_{};
    std::array<char32_t, kFourByteBmpCount> fourByteBmp_{};
};

const DecodeTables& Tables()
{
    static const auto tables = std::make_unique<DecodeTables>();
    return *tables;
}

// Decodes `local` into `out`; when `checkpoints` is given, records every stride's byte offset.
void Decode(std::string_view local, std::u32string& out, std::vector<uint32_t>* checkpoints)
{
    const auto* p = reinterpret_cast<const unsigned char*>(local.data());
    const size_t n = local.size();
    out.resize(n);
    char32_t* dst = out.data();
    size_t count = 0;
    const DecodeTables* tables = nullptr;
    for (size_t i = 0; i < n;) {
        if (checkpoints && count % kCheckpointStride == 0)
            checkpoints->push_back(static_cast<uint32_t>(i));
        if (p[i] < 0x80) {
            dst[count++] = p[i++];
            continue;
        }
        if (!tables)
            tables = &Tables();
        const size_t unit = UnitLength(p + i, n - i);
        if (unit == 2)
            dst[count++] = tables->TwoByte(p + i);
        else if (unit == 4)
            dst[count++] = tables->FourByte(p + i);
        else
            dst[count++] = kReplacement;
        i += unit;
    }
    out.resize(count);
}

} // namespace

RegexSubject::RegexSubject(std::string_view local) : bytes_(local)
{
    checkpoints_.reserve(local.size() / kCheckpointStride + 1);
    Decode(bytes_, codePoints_, &checkpoints_);
}

size_t RegexSubject::ByteOffset(size_t index) const
{
    if (index >= codePoints_.size())
        return bytes_.size();
    size_t offset = checkpoints_[index / kCheckpointStride];
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data());
    for (size_t k = index % kCheckpointStride; k > 0; --k)
        offset += p[offset] < 0x80 ? 1 : UnitLength(p + offset, bytes_.size() - offset);
    return offset;
}

std::string_view RegexSubject::Slice(size_t begin, size_t end) const
{
    const size_t from = ByteOffset(begin);
    const size_t to = ByteOffset(end);
    return std::string_view(bytes_).substr(from, to > from ? to - from : 0);
}

std::u32string LocalToCodePoints(std::string_view local)
{
    std::u32string out;
    Decode(local, out, nullptr);
    return out;
}

} // namespace harvina
