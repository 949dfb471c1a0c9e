// Device contexts: creation, selection and the simple state setters.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "gdi_dc.h"
#include "gdi_objects.h"

namespace {

template <class T>
std::shared_ptr<T> StockAs(int index) {
    return std::dynamic_pointer_cast<T>(gdi::Stock(index));
}

std::shared_ptr<DeviceContext> NewDC() {
    auto dc = std::make_shared<DeviceContext>();
    dc->brush = StockAs<BrushObject>(WHITE_BRUSH);
    dc->pen = StockAs<PenObject>(BLACK_PEN);
    dc->font = StockAs<FontObject>(SYSTEM_FONT);
    return dc;
}

// Runs `change` on the DC's state and returns what `get` read before, or
// `failure` for an unknown DC.
template <class V, class Get, class Change>
V Swap(HDC hdc, V failure, Get get, Change change) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc) return failure;
    const V old = get(*dc);
    change(*dc);
    return old;
}

BOOL SetPoint(HDC hdc, POINT DeviceContext::*field, int x, int y, POINT* old) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc) return false;
    if (old) *old = (*dc).*field;
    (*dc).*field = POINT{x, y};
    return true;
}

BOOL GetPoint(HDC hdc, POINT DeviceContext::*field, POINT* out) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc || !out) return false;
    *out = (*dc).*field;
    return true;
}

HGDIOBJ SelectBitmap(DeviceContext& dc, const std::shared_ptr<BitmapObject>& bitmap) {
    if (!dc.memory) return nullptr;
    // A bitmap lives in one memory DC at a time.
    HGDIOBJ old = dc.bitmap.get();
    dc.bitmap = bitmap;
    dc.surface = bitmap->surface;
    dc.clip.reset();
    return old;
}

}  // namespace

HDC CreateSurfaceDC(SurfacePtr surface) {
    if (!surface) return nullptr;
    auto dc = NewDC();
    dc->surface = std::move(surface);
    return static_cast<HDC>(gdi::Register(dc));
}

SurfacePtr GetDCSurface(HDC hdc) {
    auto dc = gdi::LookupDC(hdc);
    return dc ? dc->surface : nullptr;
}

HDC CreateCompatibleDC(HDC hdc) {
    if (hdc && !gdi::LookupDC(hdc)) return nullptr;
    auto dc = NewDC();
    dc->memory = true;
    dc->bitmap = gdi::StockBitmap();
    dc->surface = dc->bitmap->surface;
    return static_cast<HDC>(gdi::Register(dc));
}

BOOL DeleteDC(HDC hdc) {
    return gdi::LookupDC(hdc) && gdi::Unregister(hdc);
}

HGDIOBJ GetStockObject(int index) {
    return gdi::Stock(index).get();
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
    auto dc = gdi::LookupDC(hdc);
    std::shared_ptr<GdiObject> found = gdi::Find(object);
    if (!dc || !found) return nullptr;
    HGDIOBJ old = nullptr;
    if (auto brush = std::dynamic_pointer_cast<BrushObject>(found)) {
        old = dc->brush.get();
        dc->brush = brush;
    } else if (auto pen = std::dynamic_pointer_cast<PenObject>(found)) {
        old = dc->pen.get();
        dc->pen = pen;
    } else if (auto font = std::dynamic_pointer_cast<FontObject>(found)) {
        old = dc->font.get();
        dc->font = font;
    } else if (auto bitmap = std::dynamic_pointer_cast<BitmapObject>(found)) {
        old = SelectBitmap(*dc, bitmap);
    } else if (found->Kind() == ObjectKind::Region) {
        const int kind = SelectClipRgn(hdc, static_cast<HRGN>(object));
        old = reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(kind));
    }
    return old;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc) return nullptr;
    switch (type) {
        case OBJ_PEN:
            return dc->pen.get();
        case OBJ_BRUSH:
            return dc->brush.get();
        case OBJ_FONT:
            return dc->font.get();
        case OBJ_BITMAP:
            return dc->bitmap.get();
        default:
            return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ object) {
    std::shared_ptr<GdiObject> found = gdi::Find(object);
    if (!found || found->Kind() == ObjectKind::DC) return false;
    if (found->stock) return true;
    return gdi::Unregister(object);
}

int GetObject(HGDIOBJ object, int size, void* out) {
    std::shared_ptr<GdiObject> found = gdi::Find(object);
    if (!found || !out || size <= 0) return 0;
    auto copy = [&](const auto& value) {
        const int bytes = std::min(size, static_cast<int>(sizeof(value)));
        std::memcpy(out, &value, static_cast<std::size_t>(bytes));
        return bytes;
    };
    if (auto bitmap = std::dynamic_pointer_cast<BitmapObject>(found)) {
        const Surface& s = *bitmap->surface;
        BITMAP bm{};
        bm.bmWidth = s.Width();
        bm.bmHeight = s.Height();
        bm.bmPlanes = 1;
        bm.bmBitsPixel = bitmap->bitsPerPixel;
        // Device bitmap rows are padded to 2 bytes, DIB section rows to 4.
        const std::int64_t rowBits = std::int64_t{s.Width()} * bitmap->bitsPerPixel;
        bm.bmWidthBytes =
            static_cast<LONG>(bitmap->dibSection ? s.Stride() : (rowBits + 15) / 16 * 2);
        bm.bmBits = bitmap->dibSection ? bitmap->surface->Bits() : nullptr;
        return copy(bm);
    }
    if (auto brush = std::dynamic_pointer_cast<BrushObject>(found))
        return copy(LOGBRUSH{brush->style, brush->color, static_cast<std::size_t>(brush->hatch)});
    if (auto font = std::dynamic_pointer_cast<FontObject>(found)) return copy(font->logfont);
    return 0;
}

int SetROP2(HDC hdc, int mode) {
    if (mode < R2_BLACK || mode > R2_WHITE) return 0;
    return Swap(
        hdc, 0, [](DeviceContext& dc) { return dc.rop2; },
        [mode](DeviceContext& dc) { dc.rop2 = mode; });
}

int GetROP2(HDC hdc) {
    auto dc = gdi::LookupDC(hdc);
    return dc ? dc->rop2 : 0;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    return Swap(
        hdc, CLR_INVALID, [](DeviceContext& dc) { return dc.bkColor; },
        [color](DeviceContext& dc) { dc.bkColor = color & 0xFFFFFF; });
}

COLORREF GetBkColor(HDC hdc) {
    auto dc = gdi::LookupDC(hdc);
    return dc ? dc->bkColor : CLR_INVALID;
}

int SetBkMode(HDC hdc, int mode) {
    if (mode != OPAQUE && mode != TRANSPARENT) return 0;
    return Swap(
        hdc, 0, [](DeviceContext& dc) { return dc.bkMode; },
        [mode](DeviceContext& dc) { dc.bkMode = mode; });
}

int GetBkMode(HDC hdc) {
    auto dc = gdi::LookupDC(hdc);
    return dc ? dc->bkMode : 0;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    return Swap(
        hdc, CLR_INVALID, [](DeviceContext& dc) { return dc.textColor; },
        [color](DeviceContext& dc) { dc.textColor = color & 0xFFFFFF; });
}

COLORREF GetTextColor(HDC hdc) {
    auto dc = gdi::LookupDC(hdc);
    return dc ? dc->textColor : CLR_INVALID;
}

UINT SetTextAlign(HDC hdc, UINT align) {
    constexpr UINT kFailed = 0xFFFFFFFF;
    return Swap(
        hdc, kFailed, [](DeviceContext& dc) { return dc.textAlign; },
        [align](DeviceContext& dc) { dc.textAlign = align; });
}

UINT GetTextAlign(HDC hdc) {
    auto dc = gdi::LookupDC(hdc);
    return dc ? dc->textAlign : 0xFFFFFFFF;
}

int SetStretchBltMode(HDC hdc, int mode) {
    if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
    return Swap(
        hdc, 0, [](DeviceContext& dc) { return dc.stretchMode; },
        [mode](DeviceContext& dc) { dc.stretchMode = mode; });
}

int GetStretchBltMode(HDC hdc) {
    auto dc = gdi::LookupDC(hdc);
    return dc ? dc->stretchMode : 0;
}

BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* old) {
    return SetPoint(hdc, &DeviceContext::windowOrg, x, y, old);
}

BOOL GetWindowOrgEx(HDC hdc, POINT* out) {
    return GetPoint(hdc, &DeviceContext::windowOrg, out);
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old) {
    return SetPoint(hdc, &DeviceContext::viewportOrg, x, y, old);
}

BOOL GetViewportOrgEx(HDC hdc, POINT* out) {
    return GetPoint(hdc, &DeviceContext::viewportOrg, out);
}

BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* old) {
    return SetPoint(hdc, &DeviceContext::brushOrg, x, y, old);
}

BOOL GetBrushOrgEx(HDC hdc, POINT* out) {
    return GetPoint(hdc, &DeviceContext::brushOrg, out);
}

int GetDeviceCaps(HDC hdc, int index) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc) return 0;
    switch (index) {
        case HORZRES:
            return dc->surface ? dc->surface->Width() : 0;
        case VERTRES:
            return dc->surface ? dc->surface->Height() : 0;
        case BITSPIXEL:
            return dc->surface && dc->surface->Monochrome() ? 1 : 24;
        case PLANES:
            return 1;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 96;
        default:
            return 0;
    }
}
