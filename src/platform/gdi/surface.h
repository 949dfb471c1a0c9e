// A 24-bit pixel surface: what every window's client area, memory bitmap and
// DIB section draws into. Pixels are stored blue, green, red, rows padded to 4
// bytes, exactly as in a 24 bpp DIB, so DIB rows copy in and out unchanged.
// Rows are kept top-down, or bottom-up for a DIB section whose memory the
// caller addresses as a bottom-up DIB. Row(y) always counts y from the top.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/base/win_types.h"

class Surface {
public:
    // Black, or an empty surface when the size is 0 or too large (see Valid).
    Surface(LONG width, LONG height, bool bottomUp = false, bool monochrome = false);

    // Largest surface accepted: 2^28 pixels.
    static constexpr std::size_t kMaxPixels = std::size_t{1} << 28;
    static std::size_t StrideFor(LONG width) {
        return (static_cast<std::size_t>(width) * 24 + 31) / 32 * 4;
    }

    bool Valid() const { return !pixels_.empty(); }
    LONG Width() const { return width_; }
    LONG Height() const { return height_; }
    std::size_t Stride() const { return stride_; }
    bool BottomUp() const { return bottomUp_; }
    // A monochrome bitmap keeps only black and white; see Store.
    bool Monochrome() const { return monochrome_; }
    RECT Bounds() const { return RECT{0, 0, width_, height_}; }

    BYTE* Bits() { return pixels_.data(); }
    const BYTE* Bits() const { return pixels_.data(); }
    BYTE* Row(LONG y) { return pixels_.data() + RowOffset(y); }
    const BYTE* Row(LONG y) const { return pixels_.data() + RowOffset(y); }

    // Colour of a pixel inside the surface as a COLORREF.
    COLORREF Get(LONG x, LONG y) const;
    // Writes a COLORREF to a pixel inside the surface.
    void Put(LONG x, LONG y, COLORREF color);
    // The colour a write actually stores: itself, or black or white on a
    // monochrome surface (white when the luminance is at least half).
    COLORREF Store(COLORREF color) const;
    void Fill(COLORREF color);

private:
    std::size_t RowOffset(LONG y) const {
        const LONG row = bottomUp_ ? height_ - 1 - y : y;
        return static_cast<std::size_t>(row) * stride_;
    }

    LONG width_ = 0;
    LONG height_ = 0;
    std::size_t stride_ = 0;
    bool bottomUp_ = false;
    bool monochrome_ = false;
    std::vector<BYTE> pixels_;
};

using SurfacePtr = std::shared_ptr<Surface>;
