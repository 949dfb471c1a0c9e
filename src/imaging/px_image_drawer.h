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
    explicit PxImageDrawer(const PxImage& image) : image_(image) {}

    // The picture's header and full colour table, for the DIB calls.
    BITMAPINFO256 DibInfo() const;
    // True when drawing must blend: a transparent index, an alpha channel or palette alpha.
    bool NeedsBlending() const;
    // Fills a bottom-up 24 bpp section covering the visible part; when blending,
    // the section already holds the device's pixels.
    void Render(const PxPlacement& p, BYTE* section, bool blend) const;
    // The colour of source pixel (x, y), y counted from the bottom row: palette
    // entry with its reserved byte, or the 24-bit colour with reserved 0.
    RGBQUAD SourceColor(const BYTE* row, LONG x) const;
    bool IsTransparentColor(RGBQUAD c) const;

private:
    // Source row (from the bottom) for section row r, and source column for column c.
    LONG SourceRow(const PxPlacement& p, std::int64_t r) const;
    LONG SourceCol(const PxPlacement& p, std::int64_t c) const;
    BYTE Opacity(LONG x, LONG y, RGBQUAD c) const;

    const PxImage& image_;
};
