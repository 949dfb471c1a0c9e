// Putting a picture on a device context: Draw (plain, scaled and blending
// paths), Stretch, Tile and Draw2.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "px_image.h"
#include "px_image_drawer.h"

namespace {

const BITMAPINFO* AsInfo(const BITMAPINFO256& info) {
    return reinterpret_cast<const BITMAPINFO*>(&info);
}

// Limits drawing to a clip rectangle and puts the device's clip region back
// exactly as it was afterwards (including "no clip region").
class ClipScope {
public:
    ClipScope(HDC hdc, const RECT* clip) : hdc_(hdc) {
        if (!clip) return;
        saved_ = CreateRectRgn(0, 0, 0, 0);
        hadRegion_ = GetClipRgn(hdc, saved_) == 1;
        IntersectClipRect(hdc, clip->left, clip->top, clip->right, clip->bottom);
    }
    ~ClipScope() {
        if (!saved_) return;
        SelectClipRgn(hdc_, hadRegion_ ? saved_ : nullptr);
        DeleteObject(saved_);
    }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

private:
    HDC hdc_;
    HRGN saved_ = nullptr;
    bool hadRegion_ = false;
};

PxPlacement Place(HDC hdc, LONG x, LONG y, LONG cx, LONG cy) {
    RECT box{0, 0, 0, 0};
    GetClipBox(hdc, &box);
    PxPlacement p{x, y, cx, cy, 0, 0, 0, 0};
    p.xs = std::min<std::int64_t>(box.right, std::max<std::int64_t>(x, box.left));
    p.xe = std::max<std::int64_t>(box.left, std::min<std::int64_t>(box.right, p.x + cx));
    p.ys = std::min<std::int64_t>(box.bottom, std::max<std::int64_t>(y, box.top));
    p.ye = std::max<std::int64_t>(box.top, std::min<std::int64_t>(box.bottom, p.y + cy));
    return p;
}

// The scaled or blending path: builds the visible part in a 24 bpp DIB section
// on a memory DC and copies it to the device.
void DrawThroughSection(HDC hdc, const PxImageDrawer& drawer, const PxPlacement& p, bool blend) {
    const LONG w = static_cast<LONG>(p.xe - p.xs), h = static_cast<LONG>(p.ye - p.ys);
    if (w <= 0 || h <= 0) return;
    BITMAPINFO256 info{};
    BITMAPINFOHEADER& bi = info.bmiHeader;
    bi.biSize = 40;
    bi.biWidth = w;
    bi.biHeight = h;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    bi.biCompression = BI_RGB;
    bi.biSizeImage = static_cast<DWORD>((static_cast<std::size_t>(w) * 24 + 31) / 32 * 4 * h);
    HDC memory = CreateCompatibleDC(hdc);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(hdc, AsInfo(info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memory && section && bits) {
        HGDIOBJ old = SelectObject(memory, section);
        const LONG xs = static_cast<LONG>(p.xs), ys = static_cast<LONG>(p.ys);
        if (blend) BitBlt(memory, 0, 0, w, h, hdc, xs, ys, SRCCOPY);
        drawer.Render(p, static_cast<BYTE*>(bits), blend);
        SetDIBitsToDevice(hdc, xs, ys, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                          static_cast<UINT>(h), bits, AsInfo(info), DIB_RGB_COLORS);
        SelectObject(memory, old);
    }
    if (section) DeleteObject(section);
    if (memory) DeleteDC(memory);
}

}  // namespace

LONG PxImage::Draw(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, const RECT* clip) const {
    if (!dib || !hdc || cx == 0 || cy == 0 || !info.enabled) return 0;
    if (cx < 0) cx = header.biWidth;
    if (cy < 0) cy = header.biHeight;
    const ClipScope scope(hdc, clip);
    const PxImageDrawer drawer(*this);
    const bool blend = drawer.NeedsBlending();
    if (!blend && cx == header.biWidth && cy == header.biHeight) {
        const BITMAPINFO256 dibInfo = drawer.DibInfo();
        SetStretchBltMode(hdc, COLORONCOLOR);
        SetDIBitsToDevice(hdc, x, y, GetWidth(), GetHeight(), 0, 0, 0, GetHeight(), info.bits,
                          AsInfo(dibInfo), DIB_RGB_COLORS);
        return 1;
    }
    DrawThroughSection(hdc, drawer, Place(hdc, x, y, cx, cy), blend);
    return 1;
}

LONG PxImage::Draw(HDC hdc, const RECT& rect, const RECT* clip) const {
    return Draw(hdc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, clip);
}

LONG PxImage::Stretch(HDC hdc, LONG x, LONG y, LONG cx, LONG cy) const {
    if (!dib || !hdc) return 0;
    const BITMAPINFO256 dibInfo = PxImageDrawer(*this).DibInfo();
    SetStretchBltMode(hdc, COLORONCOLOR);
    StretchDIBits(hdc, x, y, cx, cy, 0, 0, header.biWidth, header.biHeight, info.bits,
                  AsInfo(dibInfo), DIB_RGB_COLORS, SRCCOPY);
    return 1;
}

LONG PxImage::Stretch(HDC hdc, const RECT& rect) const {
    return Stretch(hdc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

// Only the tiles that meet the visible part of the rectangle are drawn, so a
// huge rectangle costs no more than the area it shows.
LONG PxImage::Tile(HDC hdc, const RECT* rect) const {
    if (!dib || !hdc || !rect || !info.enabled) return 0;
    RECT box{0, 0, 0, 0};
    GetClipBox(hdc, &box);
    const std::int64_t w = header.biWidth, h = header.biHeight;
    const std::int64_t left = std::max(box.left, rect->left),
                       right = std::min(box.right, rect->right);
    const std::int64_t top = std::max(box.top, rect->top),
                       bottom = std::min(box.bottom, rect->bottom);
    for (std::int64_t y = rect->top + (top - rect->top) / h * h; y < bottom; y += h)
        for (std::int64_t x = rect->left + (left - rect->left) / w * w; x < right; x += w)
            Draw(hdc, static_cast<LONG>(x), static_cast<LONG>(y), -1, -1, rect);
    return 1;
}

// Classic masked drawing: the mask (white where the picture is transparent)
// is ANDed onto the device, then the picture with its transparent pixels
// turned black is ORed on top.
LONG PxImage::Draw2(HDC hdc, LONG x, LONG y, LONG cx, LONG cy) const {
    if (!dib || !hdc || cx == 0 || cy == 0 || !info.enabled) return 0;
    if (cx < 0) cx = header.biWidth;
    if (cy < 0) cy = header.biHeight;
    if (info.transIndex == -1) return Stretch(hdc, x, y, cx, cy);
    const PxImageDrawer drawer(*this);
    const LONG w = header.biWidth, h = header.biHeight;
    BITMAPINFO256 maskInfo{};
    maskInfo.bmiHeader = BITMAPINFOHEADER{40, w, h, 1, 1, BI_RGB, 0, 0, 0, 2, 0};
    maskInfo.bmiColors[1] = RGBQUAD{255, 255, 255, 0};
    BITMAPINFO256 colorInfo{};
    colorInfo.bmiHeader = BITMAPINFOHEADER{40, w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const std::size_t maskStride = (static_cast<std::size_t>(w) + 31) / 32 * 4;
    const std::size_t colorStride = (static_cast<std::size_t>(w) * 24 + 31) / 32 * 4;
    std::vector<BYTE> mask(maskStride * h, 0), color(colorStride * h, 0);
    for (LONG row = 0; row < h; ++row) {
        for (LONG col = 0; col < w; ++col) {
            const RGBQUAD c = drawer.SourceColor(RowAt(row), col);
            if (drawer.IsTransparentColor(c)) {
                mask[row * maskStride + col / 8] |= static_cast<BYTE>(0x80 >> (col % 8));
            } else {
                BYTE* p = color.data() + row * colorStride + 3 * static_cast<std::size_t>(col);
                p[0] = c.rgbBlue;
                p[1] = c.rgbGreen;
                p[2] = c.rgbRed;
            }
        }
    }
    SetStretchBltMode(hdc, COLORONCOLOR);
    StretchDIBits(hdc, x, y, cx, cy, 0, 0, w, h, mask.data(), AsInfo(maskInfo), DIB_RGB_COLORS,
                  SRCAND);
    StretchDIBits(hdc, x, y, cx, cy, 0, 0, w, h, color.data(), AsInfo(colorInfo), DIB_RGB_COLORS,
                  SRCPAINT);
    return 1;
}

LONG PxImage::Draw2(HDC hdc, const RECT& rect) const {
    return Draw2(hdc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}
