#include "px_gif_rle_encoder.h"

#include <algorithm>
#include <cmath>

PxGifRleEncoder::PxGifRleEncoder(PxFile* stream, int bpp) : stream_(stream) {
    initialBits_ = std::max(2, bpp) + 1;
    clearCode_ = 1 << (initialBits_ - 1);
    endCode_ = clearCode_ + 1;
    baseCode_ = clearCode_ + 2;
    bumpStart_ = clearCode_ - 1;
    clearStart_ = initialBits_ <= 3 ? 9 : clearCode_ - 2;
    maxCodes_ = 4093 - clearCode_;
    EnterClearState();
    Output(clearCode_);
}

void PxGifRleEncoder::Pixel(int value) {
    if (runCount_ > 0 && value != runPixel_) FlushRun();
    if (value == runPixel_) {
        ++runCount_;
    } else {
        runPixel_ = value;
        runCount_ = 1;
    }
}

bool PxGifRleEncoder::Finish() {
    if (runCount_ > 0) FlushRun();
    Output(endCode_);
    if (bitCount_ > 0) PutByte(static_cast<BYTE>(bitBuffer_));
    bitBuffer_ = 0;
    bitCount_ = 0;
    if (blockLength_ > 0) WriteSubBlock();
    return ok_;
}

// Codes go out least significant bit first.
void PxGifRleEncoder::Output(int code) {
    bitBuffer_ |= static_cast<std::uint32_t>(code) << bitCount_;
    bitCount_ += codeBits_;
    while (bitCount_ >= 8) {
        PutByte(static_cast<BYTE>(bitBuffer_));
        bitBuffer_ >>= 8;
        bitCount_ -= 8;
    }
}

void PxGifRleEncoder::PutByte(BYTE byte) {
    block_[blockLength_++] = byte;
    if (blockLength_ == 255) WriteSubBlock();
}

void PxGifRleEncoder::WriteSubBlock() {
    const BYTE count = static_cast<BYTE>(blockLength_);
    ok_ = ok_ && stream_->Write(&count, 1, 1) == 1 &&
          stream_->Write(block_, 1, blockLength_) == static_cast<std::size_t>(blockLength_);
    blockLength_ = 0;
}

void PxGifRleEncoder::EnterClearState() {
    codeBits_ = initialBits_;
    bumpAt_ = bumpStart_;
    clearAt_ = clearStart_;
    codeCount_ = 0;
    tableMax_ = 0;
    justCleared_ = true;
}

void PxGifRleEncoder::WriteClear() {
    Output(clearCode_);
    EnterClearState();
}

// Every code sent grows the decoder's table by one string; the width follows the
// table, and a table about to fill up is cleared.
void PxGifRleEncoder::Emit(int code) {
    justCleared_ = false;
    Output(code);
    ++codeCount_;
    if (codeCount_ >= bumpAt_) {
        ++codeBits_;
        bumpAt_ += std::int64_t{1} << (codeBits_ - 1);
    }
    if (codeCount_ >= clearAt_) WriteClear();
}

void PxGifRleEncoder::ResetClearLimit() {
    clearAt_ = clearStart_;
    if (codeCount_ >= clearAt_) WriteClear();
}

// Codes needed for `count` pixels of one value from a cleared table when runs of
// up to `runs` pixels are available: run lengths 1, 2, 3, ... form triangles.
std::uint64_t PxGifRleEncoder::TriangleCost(std::uint64_t count, std::uint64_t runs) {
    const std::uint64_t perTriangle = runs * (runs + 1) / 2;
    std::uint64_t cost = count / perTriangle * runs;
    const std::uint64_t rest = count % perTriangle;
    if (rest > 0) {
        auto k = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(rest)));
        while (k > 0 && k * (k + 1) >= 2 * rest)
            --k;
        while (k * (k + 1) < 2 * rest)
            ++k;
        cost += k;
    }
    return cost;
}

// From a cleared table: the pixel, then runs one longer each time.
void PxGifRleEncoder::FlushFromClear(std::int64_t count) {
    clearAt_ = maxCodes_;
    tablePixel_ = runPixel_;
    std::int64_t k = 1;
    while (count > 0) {
        if (k == 1) {
            tableMax_ = 1;
            Emit(runPixel_);
            count -= 1;
        } else if (count >= k) {
            tableMax_ = k;
            Emit(baseCode_ + static_cast<int>(k) - 2);
            count -= k;
        } else if (count == 1) {
            tableMax_ += 1;
            Emit(runPixel_);
            count = 0;
        } else {
            tableMax_ += 1;
            Emit(baseCode_ + static_cast<int>(count) - 2);
            count = 0;
        }
        k = codeCount_ == 0 ? 1 : k + 1;
    }
    ResetClearLimit();
}

// The table already holds runs of this pixel up to tableMax_: repeat the longest.
void PxGifRleEncoder::FlushWithTable(std::int64_t count) {
    std::int64_t repeats = count / tableMax_;
    std::int64_t left = count % tableMax_;
    std::int64_t extra = left > 0 ? 1 : 0;
    if (codeCount_ + repeats + extra > maxCodes_) {
        repeats = maxCodes_ - codeCount_;
        left = count - repeats * tableMax_;
        extra = 1 + static_cast<std::int64_t>(TriangleCost(static_cast<std::uint64_t>(left),
                                                           static_cast<std::uint64_t>(maxCodes_)));
    }
    const auto fromClear =
        1 + static_cast<std::int64_t>(TriangleCost(static_cast<std::uint64_t>(count),
                                                   static_cast<std::uint64_t>(maxCodes_)));
    if (fromClear < repeats + extra) {
        WriteClear();
        FlushFromClear(count);
        return;
    }
    clearAt_ = maxCodes_;
    for (; repeats > 0; --repeats)
        Emit(baseCode_ + static_cast<int>(tableMax_) - 2);
    if (left > 0) {
        if (justCleared_) {
            FlushFromClear(left);
        } else if (left == 1) {
            Emit(runPixel_);
        } else {
            Emit(baseCode_ + static_cast<int>(left) - 2);
        }
    }
    ResetClearLimit();
}

void PxGifRleEncoder::FlushClearOrRepeat(std::int64_t count) {
    const auto fromClear =
        1 + static_cast<std::int64_t>(TriangleCost(static_cast<std::uint64_t>(count),
                                                   static_cast<std::uint64_t>(maxCodes_)));
    if (fromClear < count) {
        WriteClear();
        FlushFromClear(count);
        return;
    }
    for (; count > 0; --count)
        Emit(runPixel_);
}

void PxGifRleEncoder::FlushRun() {
    if (runCount_ == 1) {
        Emit(runPixel_);
    } else if (justCleared_) {
        FlushFromClear(runCount_);
    } else if (tableMax_ < 2 || tablePixel_ != runPixel_) {
        FlushClearOrRepeat(runCount_);
    } else {
        FlushWithTable(runCount_);
    }
    runCount_ = 0;
}
