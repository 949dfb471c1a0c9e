// Internal to the drawing functions of PxImage: reading the picture the way
// the device calls need it.
#pragma once

#include "platform/gdi/gdi_types.h"
#include "px_image.h"

// Where a picture lands on the device and which part of that is visible.
struct PxPlacement {
    std::int64_t x, y, cx, cy;    // destination rectangle
    std::int64_t xs, ys, xe, ye;  // visible part (destination rectangle cut to the clip box)
};

class PxImageDrawer {
public:
    explicit PxImageDrawer(const PxImage& image);

    // The picture's header and full colour table, for the DIB calls.
    BITMAPINFO256 DibInfo() const;
    // True when drawing must blend: a transparent index, an alpha channel or palette alpha.
    bool NeedsBlending() const;
    // Fills a bottom-up 24 bpp section covering the visible part; when blending,
    // the section already holds the device's pixels.
    void Render(const PxPlacement& p, BYTE* section, bool blend) const;
    // The colour of source pixel (x, y), y counted from the bottom row: palette
    // entry with its reserved byte, or the 24-bit colour with reserved 0.
    RGBQUAD SourceColor(const BYTE* row, LONG x) const {
        switch (bpp_) {
            case 24: {
                const BYTE* p = row + 3 * static_cast<std::size_t>(x);
                return RGBQUAD{p[0], p[1], p[2], 0};
            }
            case 8:
                return Entry(row[x]);
            case 4:
                return Entry(static_cast<BYTE>((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15));
            default:
                return Entry(static_cast<BYTE>((row[x >> 3] >> (7 - (x & 7))) & 1));
        }
    }
    bool IsTransparentColor(RGBQUAD c) const {
        const RGBQUAD& t = transColor_;
        return transparent_ && c.rgbBlue == t.rgbBlue && c.rgbGreen == t.rgbGreen &&
               c.rgbRed == t.rgbRed && c.rgbReserved == t.rgbReserved;
    }

private:
    // Source row (from the bottom) for section row r, and source column for column c.
    LONG SourceRow(const PxPlacement& p, std::int64_t r) const;
    LONG SourceCol(const PxPlacement& p, std::int64_t c) const;
    BYTE Opacity(LONG x, LONG y, RGBQUAD c) const;
    RGBQUAD Entry(BYTE index) const {
        return index < colors_ ? palette_[index] : RGBQUAD{0, 0, 0, 0};
    }

    const PxImage& image_;
    WORD bpp_;
    const RGBQUAD* palette_;
    DWORD colors_;
    bool transparent_;
    RGBQUAD transColor_;
};
