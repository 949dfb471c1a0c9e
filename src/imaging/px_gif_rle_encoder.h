// The GIF writer's code stream. No string table is built: runs of one index are
// sent as codes a decoder's table is known to hold at that point, so any LZW
// decoder reads the pixels back and the same picture always gives the same bytes.
#pragma once

#include <cstdint>

#include "platform/base/win_types.h"
#include "px_file.h"

class PxGifRleEncoder {
public:
    // bpp of the indices; the stream starts with a clear code.
    PxGifRleEncoder(PxFile* stream, int bpp);
    void Pixel(int value);
    // Sends the last run, the end code and the pending sub-block; false when the
    // stream refused a write.
    bool Finish();

    static std::uint64_t TriangleCost(std::uint64_t count, std::uint64_t runs);

private:
    void Output(int code);
    void Emit(int code);
    void EnterClearState();
    void WriteClear();
    void ResetClearLimit();
    void FlushFromClear(std::int64_t count);
    void FlushWithTable(std::int64_t count);
    void FlushClearOrRepeat(std::int64_t count);
    void FlushRun();
    void PutByte(BYTE byte);
    void WriteSubBlock();

    PxFile* stream_;
    bool ok_ = true;
    int initialBits_;
    int clearCode_;
    int endCode_;
    int baseCode_;
    int bumpStart_;
    int clearStart_;
    std::int64_t maxCodes_;

    int codeBits_ = 0;
    std::int64_t bumpAt_ = 0;
    std::int64_t clearAt_ = 0;
    std::int64_t codeCount_ = 0;
    std::int64_t tableMax_ = 0;
    bool justCleared_ = true;
    int runPixel_ = 0;
    std::int64_t runCount_ = 0;
    int tablePixel_ = 0;

    std::uint32_t bitBuffer_ = 0;
    int bitCount_ = 0;
    BYTE block_[255];
    int blockLength_ = 0;
};
