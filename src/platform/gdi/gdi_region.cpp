// Regions by handle.
#include <algorithm>
#include <cstring>
#include <limits>

#include "gdi_objects.h"
#include "gdi_region.h"

namespace {

HRGN NewRegion(Region region) {
    auto object = std::make_shared<RegionObject>();
    object->region = std::move(region);
    return static_cast<HRGN>(gdi::Register(object));
}

bool IsIdentity(const XFORM& x) {
    return x.eM11 == 1 && x.eM12 == 0 && x.eM21 == 0 && x.eM22 == 1 && x.eDx == 0 && x.eDy == 0;
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    return NewRegion(Region(RECT{std::min(left, right), std::min(top, bottom),
                                 std::max(left, right), std::max(top, bottom)}));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
    return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) {
    return NewRegion(Region::RoundRect(RECT{left, top, right, bottom}, width, height));
}

// The block is read with the byte count the caller gives, never past it; the
// bounds field is not trusted (the region's box is computed from the rectangles).
HRGN ExtCreateRegion(const XFORM* xform, DWORD count, const RGNDATA* data) {
    if (!data || (xform && !IsIdentity(*xform))) return nullptr;
    if (count < sizeof(RGNDATAHEADER)) return nullptr;
    const RGNDATAHEADER& h = data->rdh;
    if (h.dwSize < sizeof(RGNDATAHEADER) || h.dwSize > count || h.iType != RDH_RECTANGLES)
        return nullptr;
    const std::uint64_t rectBytes = std::uint64_t{h.nCount} * sizeof(RECT);
    if (h.dwSize + rectBytes > count) return nullptr;
    std::vector<RECT> rects(h.nCount);
    const auto* bytes = reinterpret_cast<const BYTE*>(data);
    if (h.nCount) std::memcpy(rects.data(), bytes + h.dwSize, static_cast<std::size_t>(rectBytes));
    return NewRegion(Region::FromRects(rects));
}

DWORD GetRegionData(HRGN region, DWORD size, RGNDATA* data) {
    auto rgn = gdi::Lookup<RegionObject>(region);
    if (!rgn) return 0;
    const std::vector<RECT>& rects = rgn->region.Rects();
    const std::size_t needed = sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT);
    if (needed > std::numeric_limits<DWORD>::max()) return 0;
    if (!data) return static_cast<DWORD>(needed);
    if (size < needed) return 0;
    RGNDATAHEADER h{};
    h.dwSize = sizeof(RGNDATAHEADER);
    h.iType = RDH_RECTANGLES;
    h.nCount = static_cast<DWORD>(rects.size());
    h.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    h.rcBound = rgn->region.Box();
    auto* bytes = reinterpret_cast<BYTE*>(data);
    std::memcpy(bytes, &h, sizeof h);
    if (!rects.empty()) std::memcpy(bytes + sizeof h, rects.data(), rects.size() * sizeof(RECT));
    return static_cast<DWORD>(needed);
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
    auto d = gdi::Lookup<RegionObject>(dest);
    auto a = gdi::Lookup<RegionObject>(src1);
    if (!d || !a || mode < RGN_AND || mode > RGN_COPY) return ERROR;
    if (mode == RGN_COPY) {
        d->region = a->region;
        return d->region.Kind();
    }
    auto b = gdi::Lookup<RegionObject>(src2);
    if (!b) return ERROR;
    static constexpr Region::Op kOps[] = {Region::Op::And, Region::Op::Or, Region::Op::Xor,
                                          Region::Op::Diff};
    d->region = Region::Combine(a->region, b->region, kOps[mode - RGN_AND]);
    return d->region.Kind();
}

int OffsetRgn(HRGN region, int dx, int dy) {
    auto rgn = gdi::Lookup<RegionObject>(region);
    if (!rgn) return ERROR;
    rgn->region.Offset(dx, dy);
    return rgn->region.Kind();
}

BOOL PtInRegion(HRGN region, int x, int y) {
    auto rgn = gdi::Lookup<RegionObject>(region);
    return rgn && rgn->region.Contains(x, y);
}

int GetRgnBox(HRGN region, RECT* box) {
    auto rgn = gdi::Lookup<RegionObject>(region);
    if (!rgn || !box) return ERROR;
    *box = rgn->region.Box();
    return rgn->region.Kind();
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
    auto rgn = gdi::Lookup<RegionObject>(region);
    if (!rgn) return false;
    rgn->region = Region(RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
                              std::max(top, bottom)});
    return true;
}

BOOL EqualRgn(HRGN a, HRGN b) {
    auto ra = gdi::Lookup<RegionObject>(a);
    auto rb = gdi::Lookup<RegionObject>(b);
    return ra && rb && ra->region == rb->region;
}
