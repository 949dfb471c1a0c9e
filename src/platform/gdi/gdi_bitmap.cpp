// Bitmap objects: DIB sections, device bitmaps, and reading them back as DIBs.
#include <algorithm>
#include <cstring>

#include "dib_reader.h"
#include "gdi_bitmap.h"
#include "gdi_objects.h"

namespace {

HBITMAP NewBitmap(SurfacePtr surface, WORD bitsPerPixel, bool dibSection) {
    if (!surface || !surface->Valid()) return nullptr;
    auto bitmap = std::make_shared<BitmapObject>();
    bitmap->surface = std::move(surface);
    bitmap->bitsPerPixel = bitsPerPixel;
    bitmap->dibSection = dibSection;
    return static_cast<HBITMAP>(gdi::Register(bitmap));
}

// Copies every row of a DIB into a top-down surface of the same size.
void FillFromDib(Surface& surface, const gdi::DibReader& dib) {
    for (LONG y = 0; y < surface.Height(); ++y) {
        const BYTE* row = dib.Scan(dib.ScanOfRow(y));
        for (LONG x = 0; x < surface.Width(); ++x)
            surface.Put(x, y, dib.Pixel(row, x));
    }
}

// Writes one surface row in a DIB row format: 1 bpp (black and white), 24 or 32 bpp.
void StoreRow(const Surface& surface, LONG y, WORD bpp, BYTE* out) {
    const LONG width = surface.Width();
    if (bpp == 1) {
        const Surface mono(1, 1, false, true);
        std::memset(out, 0, (static_cast<std::size_t>(width) + 31) / 32 * 4);
        for (LONG x = 0; x < width; ++x)
            if (mono.Store(surface.Get(x, y)) != 0) out[x >> 3] |= 0x80 >> (x & 7);
        return;
    }
    const std::size_t step = bpp / 8;
    const BYTE* row = surface.Row(y);
    for (LONG x = 0; x < width; ++x) {
        BYTE* p = out + step * static_cast<std::size_t>(x);
        std::memcpy(p, row + 3 * static_cast<std::size_t>(x), 3);
        if (step == 4) p[3] = 0;
    }
}

void DescribeAsDib(const BitmapObject& bitmap, BITMAPINFOHEADER& h) {
    const Surface& s = *bitmap.surface;
    if (h.biBitCount == 0) h.biBitCount = bitmap.bitsPerPixel;
    h.biWidth = s.Width();
    if (h.biHeight >= 0) h.biHeight = s.Height();
    h.biPlanes = 1;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>((static_cast<std::size_t>(s.Width()) * h.biBitCount + 31) /
                                       32 * 4 * static_cast<std::size_t>(s.Height()));
}

}  // namespace

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD /*offset*/) {
    if (bits) *bits = nullptr;
    if ((hdc && !gdi::LookupDC(hdc)) || !info || section || usage != DIB_RGB_COLORS) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biBitCount != 24 || h.biCompression != BI_RGB || h.biHeight == INT32_MIN) return nullptr;
    const LONG height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    auto surface = std::make_shared<Surface>(h.biWidth, height, h.biHeight > 0);
    HBITMAP bitmap = NewBitmap(surface, 24, true);
    if (bitmap && bits) *bits = surface->Bits();
    return bitmap;
}

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage) {
    if ((hdc && !gdi::LookupDC(hdc)) || !header || header->biHeight == INT32_MIN) return nullptr;
    const LONG height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    auto surface = std::make_shared<Surface>(header->biWidth, height);
    if (!surface->Valid()) return nullptr;
    if (init & CBM_INIT) {
        const gdi::DibReader dib(info, bits, usage);
        if (!dib.Valid() || dib.Width() != surface->Width() || dib.Height() != height)
            return nullptr;
        FillFromDib(*surface, dib);
    }
    return NewBitmap(surface, 24, false);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    if (planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 24 && bitsPerPixel != 32))
        return nullptr;
    const bool mono = bitsPerPixel == 1;
    auto surface = std::make_shared<Surface>(width, height, false, mono);
    if (!surface->Valid()) return nullptr;
    if (bits) {
        const std::size_t stride = (static_cast<std::size_t>(width) * bitsPerPixel + 15) / 16 * 2;
        const auto* rows = static_cast<const BYTE*>(bits);
        for (LONG y = 0; y < height; ++y) {
            const BYTE* row = rows + static_cast<std::size_t>(y) * stride;
            for (LONG x = 0; x < width; ++x) {
                if (mono) {
                    const bool white = (row[x >> 3] >> (7 - (x & 7))) & 1;
                    surface->Put(x, y, white ? RGB(255, 255, 255) : RGB(0, 0, 0));
                } else {
                    const BYTE* p = row + bitsPerPixel / 8 * static_cast<std::size_t>(x);
                    surface->Put(x, y, RGB(p[2], p[1], p[0]));
                }
            }
        }
    }
    return NewBitmap(surface, mono ? 1 : 24, false);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc) return nullptr;
    if (width <= 0 || height <= 0) return CreateBitmap(1, 1, 1, 1, nullptr);
    const bool mono = dc->surface && dc->surface->Monochrome();
    return NewBitmap(std::make_shared<Surface>(width, height, false, mono), mono ? 1 : 24, false);
}

SurfacePtr GetBitmapSurface(HBITMAP bitmap) {
    auto b = gdi::Lookup<BitmapObject>(bitmap);
    return b ? b->surface : nullptr;
}

int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage) {
    auto b = gdi::Lookup<BitmapObject>(bitmap);
    if (!gdi::LookupDC(hdc) || !b || !info || usage != DIB_RGB_COLORS) return 0;
    BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < 40) return 0;
    const Surface& s = *b->surface;
    if (!bits) {
        DescribeAsDib(*b, h);
        return 1;
    }
    const WORD bpp = h.biBitCount;
    if (h.biHeight == INT32_MIN) return 0;
    const LONG height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if ((bpp != 1 && bpp != 24 && bpp != 32) || h.biCompression != BI_RGB ||
        h.biWidth != s.Width() || height != s.Height())
        return 0;
    if (bpp == 1) {
        RGBQUAD* table = gdi::ColorTable(info);
        table[0] = RGBQUAD{0, 0, 0, 0};
        table[1] = RGBQUAD{255, 255, 255, 0};
    }
    const std::size_t stride = (static_cast<std::size_t>(s.Width()) * bpp + 31) / 32 * 4;
    const UINT first = std::min<UINT>(start, static_cast<UINT>(height));
    const UINT last = static_cast<UINT>(
        std::min<std::uint64_t>(std::uint64_t{start} + lines, static_cast<UINT>(height)));
    auto* out = static_cast<BYTE*>(bits);
    for (UINT scan = first; scan < last; ++scan) {
        const LONG y =
            h.biHeight < 0 ? static_cast<LONG>(scan) : height - 1 - static_cast<LONG>(scan);
        StoreRow(s, y, bpp, out + (scan - first) * stride);
    }
    return static_cast<int>(last - first);
}
