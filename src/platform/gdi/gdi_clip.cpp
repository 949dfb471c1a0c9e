// Clip regions of device contexts. The region is stored in device coordinates;
// a DC without one clips to its surface only.
#include "gdi_dc.h"
#include "gdi_objects.h"

namespace {

Region Base(const DeviceContext& dc) {
    if (dc.clip) return *dc.clip;
    return Region(dc.surface ? dc.surface->Bounds() : RECT{0, 0, 0, 0});
}

int Result(const DeviceContext& dc) {
    return dc.Visible().Kind();
}

Region::Op OpOf(int mode) {
    switch (mode) {
        case RGN_AND:
            return Region::Op::And;
        case RGN_XOR:
            return Region::Op::Xor;
        case RGN_DIFF:
            return Region::Op::Diff;
        default:
            return Region::Op::Or;
    }
}

}  // namespace

int GetClipBox(HDC hdc, RECT* box) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc || !box) return ERROR;
    const Region visible = dc->Visible();
    *box = visible.Empty() ? RECT{0, 0, 0, 0} : dc->ToLogical(visible.Box());
    return visible.Kind();
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc) return ERROR;
    const Region rect(dc->ToDevice(RECT{left, top, right, bottom}));
    dc->clip = dc->clip ? Region::Combine(*dc->clip, rect, Region::Op::And) : rect;
    return Result(*dc);
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc) return ERROR;
    const Region rect(dc->ToDevice(RECT{left, top, right, bottom}));
    dc->clip = Region::Combine(Base(*dc), rect, Region::Op::Diff);
    return Result(*dc);
}

int ExtSelectClipRgn(HDC hdc, HRGN region, int mode) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc || mode < RGN_AND || mode > RGN_COPY) return ERROR;
    auto rgn = gdi::Lookup<RegionObject>(region);
    if (!rgn) {
        if (region || mode != RGN_COPY) return ERROR;
        dc->clip.reset();
        return Result(*dc);
    }
    if (mode == RGN_COPY)
        dc->clip = rgn->region;
    else
        dc->clip = Region::Combine(Base(*dc), rgn->region, OpOf(mode));
    return Result(*dc);
}

int SelectClipRgn(HDC hdc, HRGN region) {
    return ExtSelectClipRgn(hdc, region, RGN_COPY);
}

int GetClipRgn(HDC hdc, HRGN region) {
    auto dc = gdi::LookupDC(hdc);
    auto rgn = gdi::Lookup<RegionObject>(region);
    if (!dc || !rgn) return -1;
    if (!dc->clip) return 0;
    rgn->region = *dc->clip;
    return 1;
}

BOOL PtVisible(HDC hdc, int x, int y) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc) return false;
    const POINT p = dc->ToDevice(x, y);
    return dc->IsVisible(p.x, p.y);
}
