#include "px_gif_reader.h"

#include <algorithm>
#include <cstring>

void PxGifReader::Attach(PxFile* stream) {
    stream_ = stream;
    start_ = stream->Tell();
    size_ = stream->Size();
    next_ = held_ = 0;
    broken_ = false;
}

bool PxGifReader::Fill() {
    if (broken_) return false;
    start_ += static_cast<std::int64_t>(held_);
    next_ = 0;
    held_ = stream_->Read(buffer_, 1, kBufferSize);
    buffer_[held_] = 0xFF;
    return held_ > 0;
}

std::size_t PxGifReader::Read(BYTE* out, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        if (next_ == held_ && !Fill()) break;
        const std::size_t chunk = std::min(n - done, held_ - next_);
        std::memcpy(out + done, buffer_ + next_, chunk);
        next_ += chunk;
        done += chunk;
    }
    return done;
}

void PxGifReader::Skip(std::size_t n) {
    if (n <= held_ - next_) {
        next_ += n;
        return;
    }
    Seek(Tell() + static_cast<std::int64_t>(n));
}

// Within the bytes held only the index moves; otherwise the stream is repositioned.
// A position past the end leaves the reader at the end.
bool PxGifReader::Seek(std::int64_t position) {
    if (position >= start_ && position <= start_ + static_cast<std::int64_t>(held_)) {
        next_ = static_cast<std::size_t>(position - start_);
        return true;
    }
    if (size_ >= 0) position = std::min(position, size_);
    start_ = position;
    next_ = held_ = 0;
    if (position > INT32_MAX || !stream_->Seek(static_cast<std::int32_t>(position), SEEK_SET))
        broken_ = true;
    return !broken_;
}

std::int64_t PxGifReader::Remaining() const {
    return size_ < 0 ? -1 : std::max<std::int64_t>(size_ - Tell(), 0);
}

void PxGifReader::Release() {
    if (!broken_ && Tell() <= INT32_MAX) stream_->Seek(static_cast<std::int32_t>(Tell()), SEEK_SET);
}
