// The alpha channel: width x height opacity bytes, row 0 at the bottom, no padding.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "px_image.h"

bool PxImage::AlphaCreate() {
    if (!dib) return false;
    return ReplaceMask(alpha, static_cast<BYTE*>(std::calloc(PixelCount(), 1)));
}

void PxImage::AlphaDelete() {
    std::free(alpha);
    alpha = nullptr;
}

void PxImage::AlphaClear() {
    AlphaSet(BYTE{0});
}

void PxImage::AlphaSet(BYTE level) {
    if (alpha) std::memset(alpha, level, PixelCount());
}

void PxImage::AlphaSet(LONG x, LONG y, BYTE level) {
    if (alpha && IsInside(x, y)) alpha[x + static_cast<std::size_t>(y) * header.biWidth] = level;
}

BYTE PxImage::AlphaGet(LONG x, LONG y) const {
    if (!alpha || !IsInside(x, y)) return 0;
    return alpha[x + static_cast<std::size_t>(y) * header.biWidth];
}

void PxImage::AlphaInvert() {
    if (!alpha) return;
    const std::size_t n = PixelCount();
    for (std::size_t i = 0; i < n; ++i)
        alpha[i] = static_cast<BYTE>(~alpha[i]);
}

// Both dimensions must match: copying width x height bytes from a shorter
// image would read past its channel.
bool PxImage::AlphaCopy(const PxImage& from) {
    if (!from.alpha || !dib || from.header.biWidth != header.biWidth ||
        from.header.biHeight != header.biHeight)
        return false;
    if (!alpha && !AlphaCreate()) return false;
    std::memcpy(alpha, from.alpha, PixelCount());
    info.alphaMax = from.info.alphaMax;
    return true;
}

bool PxImage::AlphaFlip() {
    if (!alpha) return false;
    auto* flipped = static_cast<BYTE*>(std::malloc(PixelCount()));
    if (!flipped) return false;
    const std::size_t width = static_cast<std::size_t>(header.biWidth);
    for (LONG y = 0; y < header.biHeight; ++y) {
        std::memcpy(flipped + (header.biHeight - 1 - y) * width, alpha + y * width, width);
    }
    return ReplaceMask(alpha, flipped);
}

bool PxImage::AlphaMirror() {
    if (!alpha) return false;
    auto* mirrored = static_cast<BYTE*>(std::malloc(PixelCount()));
    if (!mirrored) return false;
    const std::size_t width = static_cast<std::size_t>(header.biWidth);
    for (LONG y = 0; y < header.biHeight; ++y) {
        const BYTE* src = alpha + y * width;
        std::reverse_copy(src, src + width, mirrored + y * width);
    }
    return ReplaceMask(alpha, mirrored);
}

bool PxImage::AlphaSplit(PxImage* dest) const {
    if (!alpha || !dest) return false;
    PxImage grey;
    if (!grey.Create(GetWidth(), GetHeight(), 8, static_cast<LONG>(info.type))) return false;
    grey.SetGrayPalette();
    const std::size_t width = static_cast<std::size_t>(header.biWidth);
    for (LONG y = 0; y < header.biHeight; ++y)
        std::memcpy(grey.RowAt(y), alpha + y * width, width);
    dest->Transfer(grey);
    return true;
}

// Blends each pixel toward the image's transparent colour by its opacity (scaled by
// alphaMax), then drops the channel.
bool PxImage::AlphaStrip() {
    if (!alpha || !dib) return false;
    const RGBQUAD backdrop = info.transColor;
    const auto blend = [](BYTE c, BYTE back, unsigned a) {
        return static_cast<BYTE>((c * a + back * (255 - a)) / 255);
    };
    for (LONG y = 0; y < header.biHeight; ++y) {
        for (LONG x = 0; x < header.biWidth; ++x) {
            const unsigned a = AlphaGet(x, y) * unsigned{info.alphaMax} / 255;
            const RGBQUAD c = GetPixelColor(x, y);
            SetPixelColor(x, y,
                          RGBQUAD{blend(c.rgbBlue, backdrop.rgbBlue, a),
                                  blend(c.rgbGreen, backdrop.rgbGreen, a),
                                  blend(c.rgbRed, backdrop.rgbRed, a), 0});
        }
    }
    AlphaDelete();
    return true;
}
