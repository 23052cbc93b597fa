#include "tests/support/GzipFixture.h"

#include <stdexcept>
#include <vector>
#include <zlib.h>

namespace harvina::testing {
namespace {

constexpr size_t kBlock = 1024 * 1024;

class Deflater {
public:
    explicit Deflater(int level)
    {
        if (deflateInit2(&z_, level, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw std::runtime_error("deflateInit2");
    }
    ~Deflater() { deflateEnd(&z_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    std::string Feed(std::string_view data, int flush)
    {
        std::string out;
        z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
        z_.avail_in = static_cast<uInt>(data.size());
        unsigned char buffer[65536];
        int rc = Z_OK;
        do {
            z_.next_out = buffer;
            z_.avail_out = sizeof buffer;
            rc = deflate(&z_, flush);
            out.append(reinterpret_cast<char*>(buffer), sizeof buffer - z_.avail_out);
        } while (z_.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
        return out;
    }

private:
    z_stream z_{};
};

void PutLittleEndian32(std::string& out, size_t offset, uLong value)
{
    for (int i = 0; i < 4; ++i)
        out[offset + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

} // namespace

std::string GzipBytes(std::string_view data, int level)
{
    Deflater deflater(level);
    return deflater.Feed(data, Z_FINISH);
}

std::string GzipBomb(size_t inflatedSize)
{
    const std::string zeros(kBlock, '\0');
    const size_t blocks = inflatedSize / kBlock;
    Deflater deflater(9);
    // After a full flush the compressor starts afresh, so every further block of zeros
    // compresses to the same bytes: compress two, then repeat the second.
    std::string out = deflater.Feed(zeros, Z_FULL_FLUSH);
    const std::string repeated = deflater.Feed(zeros, Z_FULL_FLUSH);
    for (size_t i = 1; i < blocks; ++i)
        out += repeated;
    std::string tail = deflater.Feed({}, Z_FINISH);
    // The trailer holds the CRC and length of all the data, not of the two blocks fed.
    const uLong blockCrc = crc32(0L, reinterpret_cast<const Bytef*>(zeros.data()), static_cast<uInt>(zeros.size()));
    uLong crc = blockCrc;
    for (size_t i = 1; i < blocks; ++i)
        crc = crc32_combine(crc, blockCrc, static_cast<z_off_t>(kBlock));
    PutLittleEndian32(tail, tail.size() - 8, crc);
    PutLittleEndian32(tail, tail.size() - 4, static_cast<uLong>(inflatedSize & 0xFFFFFFFFu));
    return out + tail;
}

} // namespace harvina::testing
