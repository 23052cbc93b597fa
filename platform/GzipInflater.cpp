#include "platform/GzipInflater.h"

#include <zlib.h>

namespace harvina {

struct GzipInflater::Stream {
    z_stream z{};
    bool ready = false;

    Stream()
    {
        // 16 + MAX_WBITS: a gzip wrapper, not raw deflate or zlib.
        ready = inflateInit2(&z, 16 + MAX_WBITS) == Z_OK;
    }
    ~Stream()
    {
        if (ready)
            inflateEnd(&z);
    }
};

GzipInflater::GzipInflater() : stream_(std::make_unique<Stream>()) {}

GzipInflater::~GzipInflater() = default;

GzipInflater::Step GzipInflater::Decompress(const unsigned char* input, size_t inputLength, unsigned char* output,
                                            size_t outputCapacity, size_t& consumed, size_t& produced)
{
    consumed = 0;
    produced = 0;
    if (!stream_->ready)
        return Step::Failed;
    z_stream& z = stream_->z;
    z.next_in = const_cast<unsigned char*>(input);
    z.avail_in = static_cast<uInt>(inputLength);
    z.next_out = output;
    z.avail_out = static_cast<uInt>(outputCapacity);
    const int rc = inflate(&z, Z_NO_FLUSH);
    consumed = inputLength - z.avail_in;
    produced = outputCapacity - z.avail_out;
    if (rc == Z_STREAM_END)
        return Step::End;
    if (rc == Z_OK || rc == Z_BUF_ERROR)
        return Step::More;
    return Step::Failed;
}

} // namespace harvina
