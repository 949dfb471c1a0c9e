#include "surface.h"

#include <new>

Surface::Surface(LONG width, LONG height, bool bottomUp, bool monochrome)
    : bottomUp_(bottomUp), monochrome_(monochrome) {
    if (width <= 0 || height <= 0) return;
    if (static_cast<std::size_t>(width) * static_cast<std::size_t>(height) > kMaxPixels) return;
    try {
        pixels_.assign(StrideFor(width) * static_cast<std::size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        return;
    }
    width_ = width;
    height_ = height;
    stride_ = StrideFor(width);
}

COLORREF Surface::Get(LONG x, LONG y) const {
    const BYTE* p = Row(y) + 3 * static_cast<std::size_t>(x);
    return RGB(p[2], p[1], p[0]);
}

void Surface::Put(LONG x, LONG y, COLORREF color) {
    const COLORREF c = Store(color);
    BYTE* p = Row(y) + 3 * static_cast<std::size_t>(x);
    p[0] = GetBValue(c);
    p[1] = GetGValue(c);
    p[2] = GetRValue(c);
}

COLORREF Surface::Store(COLORREF color) const {
    if (!monochrome_) return color & 0xFFFFFF;
    const unsigned luminance =
        (30u * GetRValue(color) + 59u * GetGValue(color) + 11u * GetBValue(color)) / 100;
    return luminance >= 128 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

void Surface::Fill(COLORREF color) {
    for (LONG y = 0; y < height_; ++y)
        for (LONG x = 0; x < width_; ++x)
            Put(x, y, color);
}
