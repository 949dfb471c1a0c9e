#include "dib_reader.h"

#include <algorithm>
#include <cstdint>

#include "surface.h"

namespace gdi {

DibReader::DibReader(const BITMAPINFO* info, const void* bits, UINT usage) {
    if (!info || !bits || usage != DIB_RGB_COLORS) return;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const WORD bpp = h.biBitCount;
    if (h.biSize < 40 || h.biCompression != BI_RGB || h.biPlanes != 1) return;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) return;
    const LONG height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (std::uint64_t{static_cast<DWORD>(h.biWidth)} * static_cast<DWORD>(height) >
        Surface::kMaxPixels)
        return;
    if (bpp <= 8) {
        const DWORD full = DWORD{1} << bpp;
        const DWORD count = h.biClrUsed ? std::min(h.biClrUsed, full) : full;
        const RGBQUAD* table = ColorTable(info);
        for (DWORD i = 0; i < count; ++i)
            colors_[i] = RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue);
    }
    bits_ = static_cast<const BYTE*>(bits);
    width_ = h.biWidth;
    height_ = height;
    topDown_ = h.biHeight < 0;
    bpp_ = bpp;
    stride_ = (static_cast<std::size_t>(width_) * bpp + 31) / 32 * 4;
    valid_ = true;
}

COLORREF DibReader::Pixel(const BYTE* row, LONG x) const {
    switch (bpp_) {
        case 1:
            return colors_[(row[x >> 3] >> (7 - (x & 7))) & 1];
        case 4:
            return colors_[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
        case 8:
            return colors_[row[x]];
        case 24: {
            const BYTE* p = row + 3 * static_cast<std::size_t>(x);
            return RGB(p[2], p[1], p[0]);
        }
        default: {
            const BYTE* p = row + 4 * static_cast<std::size_t>(x);
            return RGB(p[2], p[1], p[0]);
        }
    }
}

}  // namespace gdi
