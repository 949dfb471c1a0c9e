#include "surface_view.h"

#include <FL/fl_draw.H>

#include <algorithm>

RgbBlock ScaledRgb(const Surface& surface, const RECT& area, int scale, POINT origin) {
    RgbBlock block;
    scale = std::max(scale, 1);
    const LONG left = std::max<LONG>(area.left, origin.x), top = std::max<LONG>(area.top, origin.y);
    const LONG right = std::min<LONG>(area.right, origin.x + surface.Width() * scale);
    const LONG bottom = std::min<LONG>(area.bottom, origin.y + surface.Height() * scale);
    if (!surface.Valid() || left >= right || top >= bottom) return block;
    block.area = RECT{left, top, right, bottom};
    const std::size_t width = static_cast<std::size_t>(right - left);
    block.rgb.resize(width * static_cast<std::size_t>(bottom - top) * 3);
    unsigned char* to = block.rgb.data();
    for (LONG y = top; y < bottom; ++y) {
        const BYTE* row = surface.Row((y - origin.y) / scale);
        for (LONG x = left; x < right; ++x, to += 3) {
            const BYTE* from = row + static_cast<std::size_t>((x - origin.x) / scale) * 3;
            to[0] = from[2];  // the surface keeps blue, green, red
            to[1] = from[1];
            to[2] = from[0];
        }
    }
    return block;
}

long DrawSurface(const Surface& surface, const RECT& area, int scale, POINT origin) {
    const RgbBlock block = ScaledRgb(surface, area, scale, origin);
    if (block.rgb.empty()) return 0;
    const int w = block.area.right - block.area.left, h = block.area.bottom - block.area.top;
    fl_draw_image(block.rgb.data(), block.area.left, block.area.top, w, h, 3, w * 3);
    return static_cast<long>(w) * h;
}
