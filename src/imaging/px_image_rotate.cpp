// Quarter turns. The result has the width and height exchanged and keeps the bpp,
// type, info and palette; the alpha channel turns with the picture, the selection
// mask is dropped.
#include <cstring>

#include "px_image.h"

bool PxImage::RotateLeft(PxImage* target) {
    return Rotate90(target, true);
}

bool PxImage::RotateRight(PxImage* target) {
    return Rotate90(target, false);
}

// Counter-clockwise, result (x, y) = source (y, height - 1 - x);
// clockwise, result (x, y) = source (width - 1 - y, x).
bool PxImage::Rotate90(PxImage* target, bool left) {
    if (!dib) return false;
    const LONG w = header.biWidth, h = header.biHeight;
    PxImage result;
    result.CopyInfo(*this);
    if (!result.Create(static_cast<DWORD>(h), static_cast<DWORD>(w), header.biBitCount,
                       static_cast<LONG>(info.type)))
        return false;
    result.SetPalette(GetPalette(), header.biClrUsed);
    result.Clear(0);  // the padding of 1 and 4 bpp rows is never written below
    const auto source = [&](LONG x, LONG y, LONG* sx, LONG* sy) {
        *sx = left ? y : w - 1 - y;
        *sy = left ? h - 1 - x : x;
    };
    const std::size_t pixelBytes = header.biBitCount / 8;
    for (LONG y = 0; y < w; ++y) {
        BYTE* out = result.RowAt(y);
        for (LONG x = 0; x < h; ++x) {
            LONG sx, sy;
            source(x, y, &sx, &sy);
            if (pixelBytes)
                std::memcpy(out + x * pixelBytes, RowAt(sy) + sx * pixelBytes, pixelBytes);
            else
                result.SetPixelIndex(x, y, GetPixelIndex(sx, sy));
        }
    }
    if (alpha && result.AlphaCreate()) {
        for (LONG y = 0; y < w; ++y) {
            for (LONG x = 0; x < h; ++x) {
                LONG sx, sy;
                source(x, y, &sx, &sy);
                result.AlphaSet(x, y, AlphaGet(sx, sy));
            }
        }
    }
    (target && target != this ? target : this)->Transfer(result);
    return true;
}
