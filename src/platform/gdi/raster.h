// Raster operations and brush patterns, shared by every filling and copying call.
#pragma once

#include "gdi_objects.h"

namespace gdi {

// A binary mix mode (R2_*) applied bitwise to a pen and a destination colour.
COLORREF Rop2(int mode, COLORREF pen, COLORREF dest);
// A ternary raster operation applied bitwise to pattern, source and destination.
COLORREF Rop3(DWORD rop, COLORREF pattern, COLORREF source, COLORREF dest);
bool Rop3UsesSource(DWORD rop);
bool Rop3UsesPattern(DWORD rop);

// True when the 8 x 8 hatch of `style` sets pattern pixel (x, y), both 0..7.
bool HatchBit(int style, int x, int y);

// What a brush puts on one device pixel: the colour, or nothing (a null brush,
// or a hatch gap while the background mode is TRANSPARENT).
class BrushColors {
public:
    BrushColors(const DeviceContext& dc, const BrushObject* brush);
    bool At(LONG x, LONG y, COLORREF& color) const;
    bool Paints() const { return style_ != BS_NULL; }

private:
    UINT style_;
    int hatch_;
    COLORREF color_;
    COLORREF background_;
    bool opaque_;
    POINT origin_;
};

// Paints every pixel of a device region (already cut to the surface) with a
// brush; `rop2` = 0 copies, otherwise the colour goes through that mix mode.
void PaintRegion(DeviceContext& dc, const Region& region, const BrushObject* brush, int rop2);

}  // namespace gdi
