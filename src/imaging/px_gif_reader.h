// The GIF decoder's read buffer: the stream is read 16 KB at a time and handed out
// byte by byte, so block parsing and the code reader share one position.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/base/win_types.h"
#include "px_file.h"

class PxGifReader {
public:
    static constexpr std::size_t kBufferSize = 16384;

    void Attach(PxFile* stream);
    // The next byte, or -1 once the stream has nothing more.
    int Byte() {
        if (next_ == held_ && !Fill()) return -1;
        return buffer_[next_++];
    }
    // Copies up to n bytes; returns how many there were.
    std::size_t Read(BYTE* out, std::size_t n);
    void Skip(std::size_t n);
    std::int64_t Tell() const { return start_ + static_cast<std::int64_t>(next_); }
    bool Seek(std::int64_t position);
    // Bytes the stream holds after the current position, or -1 when it cannot tell.
    std::int64_t Remaining() const;
    // Leaves the stream just after the last byte handed out.
    void Release();

private:
    bool Fill();

    PxFile* stream_ = nullptr;
    std::int64_t start_ = 0;  // stream position of buffer_[0]
    std::int64_t size_ = -1;
    std::size_t next_ = 0;
    std::size_t held_ = 0;
    bool broken_ = false;  // a seek failed: nothing more can be trusted
    // One byte more than is read, set to 0xFF after a short read.
    BYTE buffer_[kBufferSize + 1];
};
