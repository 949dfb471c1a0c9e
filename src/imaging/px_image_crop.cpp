// Cutting out a rectangle measured from the top-left corner of the picture, right
// and bottom exclusive. The result starts from fresh info: only the transparency
// and the frame delay come along.
#include <algorithm>
#include <cstring>
#include <utility>

#include "px_image.h"

bool PxImage::Crop(const RECT& rect, PxImage* target) {
    return Crop(rect.left, rect.top, rect.right, rect.bottom, target);
}

bool PxImage::Crop(LONG left, LONG top, LONG right, LONG bottom, PxImage* target) {
    if (!dib) return false;
    const LONG w = header.biWidth, h = header.biHeight;
    const auto clamp = [](LONG v, LONG n) { return std::max<LONG>(0, std::min(v, n)); };
    LONG startx = clamp(left, w), endx = clamp(right, w);
    LONG starty = h - clamp(top, h), endy = h - clamp(bottom, h);
    if (startx == endx || starty == endy) return false;
    if (startx > endx) std::swap(startx, endx);
    if (starty > endy) std::swap(starty, endy);

    PxImage result(info.type);
    if (!result.Create(static_cast<DWORD>(endx - startx), static_cast<DWORD>(endy - starty),
                       header.biBitCount, static_cast<LONG>(info.type)))
        return false;
    result.SetPalette(GetPalette(), header.biClrUsed);
    result.info.transIndex = info.transIndex;
    result.info.transColor = info.transColor;
    result.info.frameDelay = info.frameDelay;

    if (header.biBitCount < 8) {
        result.Clear(0);
        for (LONG y = starty; y < endy; ++y) {
            for (LONG x = startx; x < endx; ++x)
                result.SetPixelIndex(x - startx, y - starty, GetPixelIndex(x, y));
        }
    } else {
        const std::size_t pixelBytes = header.biBitCount / 8;
        for (LONG y = starty; y < endy; ++y) {
            BYTE* out = result.RowAt(y - starty);
            std::memcpy(out, RowAt(y) + startx * pixelBytes, (endx - startx) * pixelBytes);
            // Row padding: zero rather than whatever the heap held.
            std::memset(out + (endx - startx) * pixelBytes, 0,
                        result.info.effWidth - (endx - startx) * pixelBytes);
        }
    }
    (target && target != this ? target : this)->Transfer(result);
    return true;
}
