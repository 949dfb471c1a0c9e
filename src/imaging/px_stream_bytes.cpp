#include "px_stream_bytes.h"

#include <new>

namespace {

bool Fail(std::vector<unsigned char>& bytes, std::string& error, const char* text) {
    bytes.clear();
    bytes.shrink_to_fit();
    error = text;
    return false;
}

}  // namespace

bool PxReadStreamBytes(PxFile* stream, std::size_t cap, std::vector<unsigned char>& bytes,
                       std::string& error) {
    bytes.clear();
    if (!stream) return Fail(bytes, error, "Read Error");
    // Grown as read, never sized from what the stream claims: a lying size costs
    // no more than the bytes that really arrive.
    constexpr std::size_t kChunk = std::size_t{1} << 16;
    try {
        for (;;) {
            const std::size_t at = bytes.size();
            bytes.resize(at + kChunk);
            const std::size_t got = stream->Read(bytes.data() + at, 1, kChunk);
            bytes.resize(at + got);
            if (bytes.size() > cap) return Fail(bytes, error, "File is too large");
            if (got < kChunk) break;
        }
    } catch (const std::bad_alloc&) {
        return Fail(bytes, error, "Can't allocate memory");
    }
    if (stream->Error() != 0) return Fail(bytes, error, "Read Error");
    return true;
}
