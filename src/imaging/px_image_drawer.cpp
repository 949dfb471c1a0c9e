// Reading and blending source pixels for the drawing functions.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "px_image_drawer.h"

PxImageDrawer::PxImageDrawer(const PxImage& image)
    : image_(image),
      bpp_(image.header.biBitCount),
      palette_(image.GetPalette()),
      colors_(image.header.biClrUsed),
      transparent_(image.info.transIndex != -1),
      transColor_(image.GetTransColor()) {}

BITMAPINFO256 PxImageDrawer::DibInfo() const {
    BITMAPINFO256 out{};
    out.bmiHeader = image_.header;
    if (const RGBQUAD* palette = image_.GetPalette())
        std::memcpy(out.bmiColors, palette,
                    4 * std::min<std::size_t>(image_.header.biClrUsed, 256));
    return out;
}

bool PxImageDrawer::NeedsBlending() const {
    return image_.info.transIndex != -1 || image_.alpha || image_.info.alphaPaletteEnabled;
}

// Unscaled, rows and columns map one to one. Scaled, a row at distance v from
// the destination's top (counted from 1) takes source row height - ceil(v * fy)
// and a column at distance u from its left takes floor(u * fx), in single
// precision as the picture library always did.
LONG PxImageDrawer::SourceRow(const PxPlacement& p, std::int64_t r) const {
    const LONG height = image_.header.biHeight;
    const std::int64_t v = p.ye - p.y - r;
    if (p.cx == image_.header.biWidth && p.cy == height) return static_cast<LONG>(height - v);
    const float fy = static_cast<float>(height) / static_cast<float>(p.cy);
    const std::int64_t row =
        height - static_cast<std::int64_t>(std::ceil(static_cast<float>(v) * fy));
    return static_cast<LONG>(std::clamp<std::int64_t>(row, 0, height - 1));
}

LONG PxImageDrawer::SourceCol(const PxPlacement& p, std::int64_t c) const {
    const LONG width = image_.header.biWidth;
    const std::int64_t u = p.xs - p.x + c;
    if (p.cx == width && p.cy == image_.header.biHeight) return static_cast<LONG>(u);
    const float fx = static_cast<float>(width) / static_cast<float>(p.cx);
    const std::int64_t col = static_cast<std::int64_t>(std::floor(static_cast<float>(u) * fx));
    return static_cast<LONG>(std::clamp<std::int64_t>(col, 0, width - 1));
}

BYTE PxImageDrawer::Opacity(LONG x, LONG y, RGBQUAD c) const {
    unsigned a =
        image_.alpha ? image_.alpha[x + static_cast<std::size_t>(y) * image_.header.biWidth] : 255;
    a = a * (image_.info.alphaMax + 1u) >> 8;
    if (image_.header.biClrUsed && image_.info.alphaPaletteEnabled)
        a = a * (c.rgbReserved + 1u) >> 8;
    return static_cast<BYTE>(a);
}

void PxImageDrawer::Render(const PxPlacement& p, BYTE* section, bool blend) const {
    const std::int64_t w = p.xe - p.xs, h = p.ye - p.ys;
    const std::size_t stride = (static_cast<std::size_t>(w) * 24 + 31) / 32 * 4;
    const bool perPixelAlpha = image_.alpha || (colors_ && image_.info.alphaPaletteEnabled);
    const unsigned fixedAlpha = 255u * (image_.info.alphaMax + 1u) >> 8;
    std::vector<LONG> cols(static_cast<std::size_t>(w));
    for (std::int64_t c = 0; c < w; ++c)
        cols[static_cast<std::size_t>(c)] = SourceCol(p, c);
    for (std::int64_t r = 0; r < h; ++r) {
        const LONG sy = SourceRow(p, r);
        const BYTE* row = image_.RowAt(sy);
        BYTE* out = section + static_cast<std::size_t>(r) * stride;
        for (std::int64_t c = 0; c < w; ++c, out += 3) {
            const LONG sx = cols[static_cast<std::size_t>(c)];
            const RGBQUAD color = SourceColor(row, sx);
            if (!blend) {
                out[0] = color.rgbBlue;
                out[1] = color.rgbGreen;
                out[2] = color.rgbRed;
                continue;
            }
            if (IsTransparentColor(color)) continue;
            const unsigned a = perPixelAlpha ? Opacity(sx, sy, color) : fixedAlpha;
            if (a == 0) continue;
            const BYTE src[3] = {color.rgbBlue, color.rgbGreen, color.rgbRed};
            for (int k = 0; k < 3; ++k)
                out[k] =
                    a == 255 ? src[k] : static_cast<BYTE>((out[k] * (255 - a) + src[k] * a) >> 8);
        }
    }
}
