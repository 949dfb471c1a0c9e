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

std::optional<PxImage::PxPart> PxImage::CropPart(LONG left, LONG top, LONG right,
                                                 LONG bottom) const {
    if (!dib) return std::nullopt;
    const LONG w = header.biWidth, h = header.biHeight;
    const auto clamp = [](LONG v, LONG n) { return std::max<LONG>(0, std::min(v, n)); };
    LONG startx = clamp(left, w), endx = clamp(right, w);
    LONG starty = h - clamp(top, h), endy = h - clamp(bottom, h);
    if (startx == endx || starty == endy) return std::nullopt;
    if (startx > endx) std::swap(startx, endx);
    if (starty > endy) std::swap(starty, endy);
    return PxPart{startx, starty, endx - startx, endy - starty};
}

bool PxImage::Crop(LONG left, LONG top, LONG right, LONG bottom, PxImage* target) {
    const std::optional<PxPart> part = CropPart(left, top, right, bottom);
    if (!part) return false;
    const LONG startx = part->left, endx = part->left + part->width;
    const LONG starty = part->firstRow, endy = part->firstRow + part->rows;

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

bool PxImage::CropResampled(const RECT& rect, LONG newWidth, LONG newHeight, PxImage* target) {
    const std::optional<PxPart> part = CropPart(rect.left, rect.top, rect.right, rect.bottom);
    if (!part) return false;
    if (header.biBitCount != 24 || newWidth <= 0 || newHeight <= 0 || newWidth >= part->width ||
        newHeight >= part->rows) {
        PxImage cut;
        return Crop(rect, &cut) && cut.Resample(newWidth, newHeight, 0, target ? target : this);
    }
    // The info Crop's result starts from, as Resample passes it on.
    PxImage cutInfo(info.type);
    cutInfo.info.transIndex = info.transIndex;
    cutInfo.info.transColor = info.transColor;
    cutInfo.info.frameDelay = info.frameDelay;
    PxImage result;
    result.CopyInfo(cutInfo);
    if (!result.Create(static_cast<DWORD>(newWidth), static_cast<DWORD>(newHeight), 24,
                       static_cast<LONG>(info.type)))
        return false;
    result.Clear(0);
    ResampleArea(result, *part, static_cast<float>(part->width) / static_cast<float>(newWidth),
                 static_cast<float>(part->rows) / static_cast<float>(newHeight));
    (target && target != this ? target : this)->Transfer(result);
    return true;
}
