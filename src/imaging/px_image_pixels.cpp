// Pixel access. (x, y) counts from the bottom-left pixel; reads outside the
// picture answer with the transparent colour, writes outside are ignored.
#include <algorithm>

#include "px_image.h"

BYTE PxImage::GetPixelIndex(LONG x, LONG y) const {
    if (!dib || header.biClrUsed == 0) return 0;
    if (!IsInside(x, y)) return info.transIndex != -1 ? static_cast<BYTE>(info.transIndex) : 0;
    const BYTE* row = RowAt(y);
    switch (header.biBitCount) {
        case 8:
            return row[x];
        case 4:
            return static_cast<BYTE>((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
        default:
            return static_cast<BYTE>((row[x >> 3] >> (7 - (x & 7))) & 0x01);
    }
}

void PxImage::SetPixelIndex(LONG x, LONG y, BYTE index) {
    if (!dib || header.biClrUsed == 0 || !IsInside(x, y)) return;
    BYTE* row = RowAt(y);
    switch (header.biBitCount) {
        case 8:
            row[x] = index;
            return;
        case 4: {
            const int shift = (x & 1) ? 0 : 4;
            BYTE& byte = row[x >> 1];
            byte = static_cast<BYTE>((byte & ~(0x0F << shift)) | ((index & 0x0F) << shift));
            return;
        }
        default: {
            const int shift = 7 - (x & 7);
            BYTE& byte = row[x >> 3];
            byte = static_cast<BYTE>((byte & ~(1 << shift)) | ((index & 0x01) << shift));
            return;
        }
    }
}

RGBQUAD PxImage::GetPixelColor(LONG x, LONG y) const {
    if (!dib || !IsInside(x, y)) {
        if (info.transIndex != -1 && header.biBitCount < 24)
            return GetPaletteColor(static_cast<BYTE>(info.transIndex));
        return info.transColor;
    }
    if (header.biClrUsed) return GetPaletteColor(GetPixelIndex(x, y));
    const BYTE* pixel = RowAt(y) + 3 * static_cast<std::size_t>(x);
    return RGBQUAD{pixel[0], pixel[1], pixel[2], info.transColor.rgbReserved};
}

void PxImage::SetPixelColor(LONG x, LONG y, RGBQUAD color) {
    if (!dib || !IsInside(x, y)) return;
    if (header.biClrUsed) {
        SetPixelIndex(x, y, GetNearestIndex(color));
        return;
    }
    BYTE* pixel = RowAt(y) + 3 * static_cast<std::size_t>(x);
    pixel[0] = color.rgbBlue;
    pixel[1] = color.rgbGreen;
    pixel[2] = color.rgbRed;
}

void PxImage::SetPixelColor(LONG x, LONG y, COLORREF color) {
    SetPixelColor(x, y, RGBtoRGBQUAD(color));
}

// Strictly-less keeps the lowest index on ties, and an exact match stops the search,
// so a colour held twice always maps to its first entry.
BYTE PxImage::GetNearestIndex(RGBQUAD color) const {
    const RGBQUAD* palette = GetPalette();
    if (!palette) return 0;
    long best = 200000;
    BYTE bestIndex = 0;
    for (DWORD i = 0; i < header.biClrUsed; ++i) {
        const long db = palette[i].rgbBlue - color.rgbBlue;
        const long dr = palette[i].rgbRed - color.rgbRed;
        const long dg = palette[i].rgbGreen - color.rgbGreen;
        const long d = db * db + dr * dr + dg * dg;
        if (d == 0) return static_cast<BYTE>(i);
        if (d < best) {
            best = d;
            bestIndex = static_cast<BYTE>(i);
        }
    }
    return bestIndex;
}

RGBQUAD PxImage::RGBtoRGBQUAD(COLORREF color) {
    return RGBQUAD{GetBValue(color), GetGValue(color), GetRValue(color), 0};
}

COLORREF PxImage::RGBQUADtoRGB(RGBQUAD color) {
    return RGB(color.rgbRed, color.rgbGreen, color.rgbBlue);
}

// Only whole 3-byte groups inside the first min(length, effWidth) bytes are
// swapped: a group that straddled the end would reach into the next row.
void PxImage::RGBtoBGR(BYTE* buffer, LONG length) const {
    if (!buffer || !dib || header.biClrUsed || length <= 0) return;
    const DWORD n = std::min(static_cast<DWORD>(length), info.effWidth);
    for (DWORD i = 0; i + 2 < n; i += 3)
        std::swap(buffer[i], buffer[i + 2]);
}

BYTE PxImage::GetColorType() const {
    if (alpha) return 4;
    return header.biBitCount <= 8 ? 1 : 2;
}
