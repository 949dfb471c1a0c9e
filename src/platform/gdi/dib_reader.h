// Reading the pixels of a caller's DIB (header, colour table, rows) in any of
// the uncompressed formats the blitting calls accept.
#pragma once

#include <array>
#include <cstddef>

#include "gdi_types.h"

namespace gdi {

class DibReader {
public:
    DibReader(const BITMAPINFO* info, const void* bits, UINT usage);

    // False for a missing header or bits, compressed or unsupported formats,
    // palette-index colour tables and sizes over 2^28 pixels.
    bool Valid() const { return valid_; }
    LONG Width() const { return width_; }
    LONG Height() const { return height_; }
    bool TopDown() const { return topDown_; }
    std::size_t Stride() const { return stride_; }
    WORD BitCount() const { return bpp_; }

    // The stored row `scan` counted from the first row in memory, for a bits
    // pointer that starts at stored row `firstScan`.
    const BYTE* Scan(LONG scan, LONG firstScan = 0) const {
        return bits_ + static_cast<std::size_t>(scan - firstScan) * stride_;
    }
    // Stored row index of the row `fromTop` rows below the top of the picture.
    LONG ScanOfRow(LONG fromTop) const { return topDown_ ? fromTop : height_ - 1 - fromTop; }
    COLORREF Pixel(const BYTE* row, LONG x) const;

private:
    bool valid_ = false;
    const BYTE* bits_ = nullptr;
    LONG width_ = 0;
    LONG height_ = 0;
    bool topDown_ = false;
    WORD bpp_ = 0;
    std::size_t stride_ = 0;
    std::array<COLORREF, 256> colors_{};
};

// The colour table of a BITMAPINFO, which starts right after its header.
inline RGBQUAD* ColorTable(BITMAPINFO* info) {
    return reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(info) + info->bmiHeader.biSize);
}
inline const RGBQUAD* ColorTable(const BITMAPINFO* info) {
    return reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(info) +
                                            info->bmiHeader.biSize);
}

}  // namespace gdi
