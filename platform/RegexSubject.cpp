#include "platform/RegexSubject.h"

#include <array>
#include <bit>
#include <cerrno>
#include <iconv.h>
#include <memory>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace harvina {
namespace {

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

constexpr size_t kStride = 64;

// Code points take four bytes a character, so a page's buffer runs to megabytes and a
// fresh one faults in all its pages again. Each thread keeps the buffers of its last
// large subject for the next one.
constexpr size_t kMinSpareLength = 64 * 1024;           // smaller subjects use the heap as it is
constexpr size_t kMaxSpareCodePoints = size_t{1} << 21; // larger buffers are released

struct Spare {
    std::u32string codePoints;
    std::vector<RegexSubject::Stride> strides;
};

// Set once the thread's spare is gone, for subjects destroyed after it.
thread_local constinit bool spareClosed = false;

struct SpareHolder {
    Spare spare;
    ~SpareHolder() { spareClosed = true; }
};

Spare* ThreadSpare()
{
    if (spareClosed)
        return nullptr;
    thread_local SpareHolder holder;
    return &holder.spare;
}

#if defined(__SSE2__)
constexpr size_t kBlock = 16;

// Writes the block widened to code points whatever it holds, and returns a mask of
// its bytes that are not ASCII.
unsigned WidenBlock(const unsigned char* p, char32_t* out)
{
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = _mm_unpacklo_epi8(bytes, zero);
    const __m128i high = _mm_unpackhi_epi8(bytes, zero);
    auto* to = reinterpret_cast<__m128i*>(out);
    _mm_storeu_si128(to, _mm_unpacklo_epi16(low, zero));
    _mm_storeu_si128(to + 1, _mm_unpackhi_epi16(low, zero));
    _mm_storeu_si128(to + 2, _mm_unpacklo_epi16(high, zero));
    _mm_storeu_si128(to + 3, _mm_unpackhi_epi16(high, zero));
    return static_cast<unsigned>(_mm_movemask_epi8(bytes));
}
#else
constexpr size_t kBlock = 8;

unsigned WidenBlock(const unsigned char* p, char32_t* out)
{
    unsigned mask = 0;
    for (size_t k = 0; k < kBlock; ++k) {
        out[k] = p[k];
        mask |= static_cast<unsigned>(p[k] >> 7) << k;
    }
    return mask;
}
#endif

// Decodes `local` into `out`; with `strides`, records every stride as it begins.
void DecodeInto(std::string_view local, std::u32string& out, std::vector<RegexSubject::Stride>* strides)
{
    const auto* p = reinterpret_cast<const unsigned char*>(local.data());
    const size_t n = local.size();
    out.resize(n);
    char32_t* dst = out.data();
    size_t count = 0;
    size_t nextStride = 0; // the character that begins the next stride
    const DecodeTables* tables = nullptr;
    for (size_t i = 0; i < n;) {
        // The ASCII bytes at `i`, one character each, widened a block at a time.
        // Characters never outnumber bytes, so a block fits where it is written, and
        // what it wrote past its ASCII bytes is overwritten below.
        size_t ascii = 0;
        if (n - i >= kBlock) {
            const unsigned mask = WidenBlock(p + i, dst + count);
            ascii = mask == 0 ? kBlock : static_cast<size_t>(std::countr_zero(mask));
        } else {
            for (; i + ascii < n && p[i + ascii] < 0x80; ++ascii)
                dst[count + ascii] = p[i + ascii];
        }
        // Fewer than a stride's characters, so at most one stride begins among them.
        if (strides && nextStride < count + ascii) {
            strides->push_back({static_cast<uint32_t>(i + (nextStride - count)), 0, 0});
            nextStride += kStride;
        }
        i += ascii;
        count += ascii;
        for (; i < n && p[i] >= 0x80; ++count) {
            if (strides && count == nextStride) {
                strides->push_back({static_cast<uint32_t>(i), 0, 0});
                nextStride += kStride;
            }
            if (!tables)
                tables = &Tables();
            const size_t unit = UnitLength(p + i, n - i);
            char32_t c = kReplacement;
            if (unit == 2)
                c = tables->TwoByte(p + i);
            else if (unit == 4)
                c = tables->FourByte(p + i);
            if (strides && unit > 1) {
                const uint64_t bit = uint64_t{1} << (count % kStride);
                strides->back().wide |= bit;
                if (unit == 4)
                    strides->back().four |= bit;
            }
            dst[count] = c;
            i += unit;
        }
    }
    out.resize(count);
}

// Set bits of a word; std::popcount becomes a library call on baseline x86-64.
size_t CountBits(uint64_t x)
{
    x -= (x >> 1) & 0x5555555555555555ull;
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<size_t>((x * 0x0101010101010101ull) >> 56);
}

} // namespace

RegexSubject::RegexSubject(std::string_view local) : owned_(local), bytes_(owned_) { Decode(); }

RegexSubject RegexSubject::Borrowing(std::string_view local)
{
    RegexSubject subject;
    subject.bytes_ = local;
    subject.borrowed_ = true;
    subject.Decode();
    return subject;
}

RegexSubject::~RegexSubject()
{
    const size_t capacity = codePoints_.capacity();
    if (capacity < kMinSpareLength || capacity > kMaxSpareCodePoints)
        return;
    if (Spare* spare = ThreadSpare()) {
        spare->codePoints.swap(codePoints_);
        spare->strides.swap(strides_);
    }
}

RegexSubject::RegexSubject(RegexSubject&& other) noexcept { Swap(other); }

RegexSubject& RegexSubject::operator=(RegexSubject&& other) noexcept
{
    if (this != &other) {
        RegexSubject gone(std::move(other));
        Swap(gone);
    }
    return *this;
}

void RegexSubject::Swap(RegexSubject& other) noexcept
{
    owned_.swap(other.owned_);
    std::swap(bytes_, other.bytes_);
    std::swap(borrowed_, other.borrowed_);
    codePoints_.swap(other.codePoints_);
    strides_.swap(other.strides_);
    // A short owned text lives inside the string object itself, so its view moves too.
    if (!borrowed_)
        bytes_ = owned_;
    if (!other.borrowed_)
        other.bytes_ = other.owned_;
}

void RegexSubject::Decode()
{
    const size_t n = bytes_.size();
    if (n >= kMinSpareLength) {
        // Only a buffer of about the right size: a subject may live long and should
        // not hold on to one many times what it needs.
        Spare* spare = ThreadSpare();
        const size_t capacity = spare ? spare->codePoints.capacity() : 0;
        if (capacity >= n && capacity / 4 <= n) {
            codePoints_.swap(spare->codePoints);
            strides_.swap(spare->strides);
        }
    }
    strides_.clear();
    strides_.reserve(n / kStride + 1);
    DecodeInto(bytes_, codePoints_, &strides_);
}

size_t RegexSubject::ByteOffset(size_t index) const
{
    if (index >= codePoints_.size())
        return bytes_.size();
    const Stride& stride = strides_[index / kStride];
    const size_t within = index % kStride;
    const uint64_t before = (uint64_t{1} << within) - 1;
    size_t offset = stride.offset + within + CountBits(stride.wide & before);
    if (stride.four != 0)
        offset += 2 * CountBits(stride.four & before);
    return offset;
}

std::string_view RegexSubject::Slice(size_t begin, size_t end) const
{
    const size_t from = ByteOffset(begin);
    const size_t to = ByteOffset(end);
    return bytes_.substr(from, to > from ? to - from : 0);
}

std::u32string LocalToCodePoints(std::string_view local)
{
    std::u32string out;
    DecodeInto(local, out, nullptr);
    return out;
}

} // namespace harvina
