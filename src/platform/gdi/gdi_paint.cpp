// Brushes, pens and the filling calls.
#include <algorithm>

#include "gdi_dc.h"
#include "gdi_objects.h"
#include "gdi_paint.h"
#include "raster.h"

namespace {

RECT Ordered(int left, int top, int right, int bottom) {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right),
            std::max(top, bottom)};
}

BrushObject SolidOf(COLORREF color) {
    BrushObject brush;
    brush.color = color;
    return brush;
}

// Applies a ternary raster operation with the DC's brush as pattern to every
// visible pixel of a device rectangle.
void PatternFill(DeviceContext& dc, const RECT& deviceRect, DWORD rop) {
    const gdi::BrushColors pattern(dc, dc.brush.get());
    const bool usesPattern = gdi::Rop3UsesPattern(rop);
    Surface& surface = *dc.surface;
    for (const RECT& r : dc.VisibleIn(deviceRect).Rects()) {
        for (LONG y = r.top; y < r.bottom; ++y) {
            for (LONG x = r.left; x < r.right; ++x) {
                COLORREF p = 0;
                if (usesPattern && !pattern.At(x, y, p)) continue;
                surface.Put(x, y, gdi::Rop3(rop, p, 0, surface.Get(x, y)));
            }
        }
    }
}

}  // namespace

HBRUSH CreateSolidBrush(COLORREF color) {
    auto brush = std::make_shared<BrushObject>(SolidOf(color & 0xFFFFFF));
    return static_cast<HBRUSH>(gdi::Register(brush));
}

HBRUSH CreateHatchBrush(int style, COLORREF color) {
    if (style < HS_HORIZONTAL || style > HS_DIAGCROSS) return nullptr;
    auto brush = std::make_shared<BrushObject>(SolidOf(color & 0xFFFFFF));
    brush->style = BS_HATCHED;
    brush->hatch = style;
    return static_cast<HBRUSH>(gdi::Register(brush));
}

HPEN CreatePen(int style, int /*width*/, COLORREF color) {
    if (style != PS_SOLID && style != PS_NULL) return nullptr;
    auto pen = std::make_shared<PenObject>();
    pen->style = style;
    pen->color = color & 0xFFFFFF;
    return static_cast<HPEN>(gdi::Register(pen));
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    auto dc = gdi::LookupDC(hdc);
    auto b = gdi::Lookup<BrushObject>(brush);
    if (!dc || !b || !rect || !dc->surface) return 0;
    gdi::PaintRegion(*dc, dc->VisibleIn(dc->ToDevice(*rect)), b.get(), 0);
    return 1;
}

void FillSolidRect(HDC hdc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(hdc, &rect, brush);
    DeleteObject(brush);
}

BOOL FillRgn(HDC hdc, HRGN region, HBRUSH brush) {
    auto dc = gdi::LookupDC(hdc);
    auto rgn = gdi::Lookup<RegionObject>(region);
    auto b = gdi::Lookup<BrushObject>(brush);
    if (!dc || !rgn || !b || !dc->surface) return false;
    Region device = rgn->region;
    const POINT shift = dc->ToDevice(0, 0);
    device.Offset(shift.x, shift.y);
    gdi::PaintRegion(*dc, Region::Combine(dc->Visible(), device, Region::Op::And), b.get(), 0);
    return true;
}

BOOL InvertRect(HDC hdc, const RECT* rect) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc || !rect || !dc->surface) return false;
    PatternFill(*dc, dc->ToDevice(*rect), DSTINVERT);
    return true;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc || !dc->surface) return false;
    RECT outer = dc->ToDevice(Ordered(left, top, right, bottom));
    const bool pen = dc->pen && dc->pen->style != PS_NULL;
    if (!pen) {
        // Without a pen GDI fills one pixel less to the right and at the bottom.
        outer.right -= 1;
        outer.bottom -= 1;
    }
    const Region all = dc->VisibleIn(outer);
    Region inside = all;
    if (pen) {
        const RECT inner{outer.left + 1, outer.top + 1, outer.right - 1, outer.bottom - 1};
        inside = all.Intersect(inner);
        const BrushObject penBrush = SolidOf(dc->pen->color);
        gdi::PaintRegion(*dc, Region::Combine(all, inside, Region::Op::Diff), &penBrush, dc->rop2);
    }
    gdi::PaintRegion(*dc, inside, dc->brush.get(), dc->rop2);
    return true;
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc || !dc->surface) return false;
    const RECT r = Ordered(x, y, SaturateCoordinate(std::int64_t{x} + width),
                           SaturateCoordinate(std::int64_t{y} + height));
    PatternFill(*dc, dc->ToDevice(r), rop);
    return true;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc || !dc->surface) return CLR_INVALID;
    const POINT p = dc->ToDevice(x, y);
    if (!dc->IsVisible(p.x, p.y)) return CLR_INVALID;
    dc->surface->Put(p.x, p.y, color);
    return dc->surface->Get(p.x, p.y);
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc || !dc->surface) return CLR_INVALID;
    const POINT p = dc->ToDevice(x, y);
    if (!dc->IsVisible(p.x, p.y)) return CLR_INVALID;
    return dc->surface->Get(p.x, p.y);
}
