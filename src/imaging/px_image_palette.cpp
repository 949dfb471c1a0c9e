// Palette access. Everything here is a no-op (or returns zero) on an image
// without a palette.
#include <algorithm>
#include <cstring>

#include "platform/base/dib_header.h"
#include "px_image.h"

DWORD PxImage::GetPaletteSize() const {
    return dib ? 4 * header.biClrUsed : 0;
}

RGBQUAD* PxImage::GetPalette() const {
    return dib && header.biClrUsed ? reinterpret_cast<RGBQUAD*>(dib + kInfoHeaderSize) : nullptr;
}

RGBQUAD PxImage::GetPaletteColor(BYTE index) const {
    RGBQUAD* palette = GetPalette();
    if (!palette || index >= header.biClrUsed) return RGBQUAD{0, 0, 0, 0};
    return palette[index];
}

void PxImage::SetPaletteIndex(BYTE index, BYTE r, BYTE g, BYTE b, BYTE alphaByte) {
    SetPaletteIndex(index, RGBQUAD{b, g, r, alphaByte});
}

void PxImage::SetPaletteIndex(BYTE index, RGBQUAD color) {
    RGBQUAD* palette = GetPalette();
    if (palette && index < header.biClrUsed) palette[index] = color;
}

void PxImage::SetPaletteIndex(BYTE index, COLORREF color) {
    SetPaletteIndex(index, RGBQUAD{GetBValue(color), GetGValue(color), GetRValue(color), 0});
}

void PxImage::SetPalette(const RGBQUAD* source, DWORD count) {
    RGBQUAD* palette = GetPalette();
    if (!palette || !source) return;
    const DWORD bytes = static_cast<DWORD>(std::min<std::uint64_t>(4ull * count, GetPaletteSize()));
    std::memcpy(palette, source, bytes);
}

void PxImage::SetPalette(DWORD count, const BYTE* red, const BYTE* green, const BYTE* blue) {
    RGBQUAD* palette = GetPalette();
    if (!palette || !red) return;
    if (!green) green = red;
    if (!blue) blue = green;
    const DWORD n = std::min(count, header.biClrUsed);
    for (DWORD i = 0; i < n; ++i) {
        palette[i].rgbRed = red[i];
        palette[i].rgbGreen = green[i];
        palette[i].rgbBlue = blue[i];
    }
}

void PxImage::SetPalette(const rgb_color* rgb, DWORD count) {
    RGBQUAD* palette = GetPalette();
    if (!palette || !rgb) return;
    const DWORD n = std::min(count, header.biClrUsed);
    for (DWORD i = 0; i < n; ++i) {
        palette[i].rgbRed = rgb[i].r;
        palette[i].rgbGreen = rgb[i].g;
        palette[i].rgbBlue = rgb[i].b;
    }
}

bool PxImage::GetRGB(int index, BYTE* r, BYTE* g, BYTE* b) const {
    RGBQUAD* palette = GetPalette();
    if (!palette || index < 0 || static_cast<DWORD>(index) >= header.biClrUsed) return false;
    if (r) *r = palette[index].rgbRed;
    if (g) *g = palette[index].rgbGreen;
    if (b) *b = palette[index].rgbBlue;
    return true;
}

void PxImage::SetGrayPalette() {
    RGBQUAD* palette = GetPalette();
    if (!palette) return;
    const DWORD step = 255 / (header.biClrUsed - 1);
    for (DWORD i = 0; i < header.biClrUsed; ++i) {
        const BYTE level = static_cast<BYTE>(i * step);
        palette[i].rgbRed = palette[i].rgbGreen = palette[i].rgbBlue = level;
    }
}

// Percent is held to 0..100: outside it the mix leaves the byte range.
void PxImage::BlendPalette(COLORREF color, LONG percent) {
    RGBQUAD* palette = GetPalette();
    if (!palette) return;
    percent = std::clamp<LONG>(percent, 0, 100);
    const auto mix = [percent](BYTE target, BYTE channel) {
        return static_cast<BYTE>((target * percent + channel * (100 - percent)) / 100);
    };
    for (DWORD i = 0; i < header.biClrUsed; ++i) {
        palette[i].rgbRed = mix(GetRValue(color), palette[i].rgbRed);
        palette[i].rgbGreen = mix(GetGValue(color), palette[i].rgbGreen);
        palette[i].rgbBlue = mix(GetBValue(color), palette[i].rgbBlue);
    }
}

bool PxImage::IsGrayScale() const {
    RGBQUAD* palette = GetPalette();
    if (!palette) return false;
    for (DWORD i = 0; i < header.biClrUsed; ++i) {
        if (palette[i].rgbRed != i || palette[i].rgbGreen != i || palette[i].rgbBlue != i)
            return false;
    }
    return true;
}

bool PxImage::SwapIndex(BYTE a, BYTE b) {
    RGBQUAD* palette = GetPalette();
    if (!palette || a >= header.biClrUsed || b >= header.biClrUsed) return false;
    if (a == b) return true;
    std::swap(palette[a], palette[b]);
    for (LONG y = 0; y < header.biHeight; ++y) {
        for (LONG x = 0; x < header.biWidth; ++x) {
            const BYTE index = GetPixelIndex(x, y);
            if (index == a)
                SetPixelIndex(x, y, b);
            else if (index == b)
                SetPixelIndex(x, y, a);
        }
    }
    return true;
}

void PxImage::AlphaPaletteClear() {
    RGBQUAD* palette = GetPalette();
    if (!palette) return;
    for (DWORD i = 0; i < header.biClrUsed; ++i)
        palette[i].rgbReserved = 0;
}

bool PxImage::HasAlphaPalette() const {
    RGBQUAD* palette = GetPalette();
    if (!palette) return false;
    for (DWORD i = 0; i < header.biClrUsed; ++i) {
        if (palette[i].rgbReserved != 0) return true;
    }
    return false;
}
