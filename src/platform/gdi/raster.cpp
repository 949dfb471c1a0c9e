#include "raster.h"

namespace gdi {

// Mix mode m is the truth table m - 1 over (pen bit, destination bit).
COLORREF Rop2(int mode, COLORREF pen, COLORREF dest) {
    const unsigned table = static_cast<unsigned>(mode - 1) & 0xF;
    const COLORREF p = pen, d = dest;
    COLORREF out = 0;
    if (table & 1) out |= ~p & ~d;
    if (table & 2) out |= ~p & d;
    if (table & 4) out |= p & ~d;
    if (table & 8) out |= p & d;
    return out & 0xFFFFFF;
}

// Bits 16..23 of a raster operation are its truth table, indexed by
// (pattern << 2) | (source << 1) | destination.
COLORREF Rop3(DWORD rop, COLORREF pattern, COLORREF source, COLORREF dest) {
    const unsigned table = (rop >> 16) & 0xFF;
    if (table == 0xCC) return source & 0xFFFFFF;
    COLORREF out = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!(table & (1u << i))) continue;
        const COLORREF p = (i & 4) ? pattern : ~pattern;
        const COLORREF s = (i & 2) ? source : ~source;
        const COLORREF d = (i & 1) ? dest : ~dest;
        out |= p & s & d;
    }
    return out & 0xFFFFFF;
}

bool Rop3UsesSource(DWORD rop) {
    const unsigned t = (rop >> 16) & 0xFF;
    return ((t >> 2) & 0x33) != (t & 0x33);
}

bool Rop3UsesPattern(DWORD rop) {
    const unsigned t = (rop >> 16) & 0xFF;
    return ((t >> 4) & 0x0F) != (t & 0x0F);
}

bool HatchBit(int style, int x, int y) {
    switch (style) {
        case HS_HORIZONTAL:
            return y == 7;
        case HS_VERTICAL:
            return x == 7;
        case HS_FDIAGONAL:
            return x == y;
        case HS_BDIAGONAL:
            return x + y == 7;
        case HS_CROSS:
            return x == 7 || y == 7;
        case HS_DIAGCROSS:
            return x == y || x + y == 7;
        default:
            return false;
    }
}

BrushColors::BrushColors(const DeviceContext& dc, const BrushObject* brush)
    : style_(brush ? brush->style : BS_NULL),
      hatch_(brush ? brush->hatch : 0),
      color_(brush ? brush->color & 0xFFFFFF : 0),
      background_(dc.bkColor & 0xFFFFFF),
      opaque_(dc.bkMode == OPAQUE),
      origin_(dc.brushOrg) {}

bool BrushColors::At(LONG x, LONG y, COLORREF& color) const {
    switch (style_) {
        case BS_SOLID:
            color = color_;
            return true;
        case BS_HATCHED:
            if (HatchBit(hatch_, (x - origin_.x) & 7, (y - origin_.y) & 7)) {
                color = color_;
                return true;
            }
            color = background_;
            return opaque_;
        default:
            return false;
    }
}

void PaintRegion(DeviceContext& dc, const Region& region, const BrushObject* brush, int rop2) {
    const BrushColors colors(dc, brush);
    if (!colors.Paints() || !dc.surface) return;
    Surface& surface = *dc.surface;
    for (const RECT& r : region.Rects()) {
        for (LONG y = r.top; y < r.bottom; ++y) {
            for (LONG x = r.left; x < r.right; ++x) {
                COLORREF c;
                if (!colors.At(x, y, c)) continue;
                surface.Put(x, y, rop2 ? Rop2(rop2, c, surface.Get(x, y)) : c);
            }
        }
    }
}

}  // namespace gdi
