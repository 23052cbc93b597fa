#pragma once

#include <cstddef>
#include <memory>

namespace harvina {

// One gzip (RFC 1952) inflation stream over zlib, fed in steps by the caller.
class GzipInflater {
public:
    enum class Step { More, End, Failed };

    GzipInflater();
    ~GzipInflater();
    GzipInflater(const GzipInflater&) = delete;
    GzipInflater& operator=(const GzipInflater&) = delete;

    // Inflates from `input` into `output`; says how much of each was used.
    // More: the stream goes on; End: it ended; Failed: corrupt data or no stream.
    Step Decompress(const unsigned char* input, size_t inputLength, unsigned char* output, size_t outputCapacity,
                    size_t& consumed, size_t& produced);

private:
    struct Stream;
    std::unique_ptr<Stream> stream_;
};

} // namespace harvina
