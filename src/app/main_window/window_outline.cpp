#include "window_outline.h"

#include <vector>

#include "app/resources/wizard_resources.h"
#include "platform/gdi/gdi.h"

namespace {

HRGN RegionFromResource(int id) {
    const std::vector<BYTE> block = RegionResource(id);
    return ExtCreateRegion(nullptr, static_cast<DWORD>(block.size()),
                           reinterpret_cast<const RGNDATA*>(block.data()));
}

}  // namespace

// W = round rectangle; W -= (0, 230)-(33, 411); W -= 137 moved by (547, 230);
// W += 138 moved by (0, 230).
HRGN BuildMainWindowOutline() {
    HRGN right = RegionFromResource(IDR_SHAPE_RIGHT);
    HRGN left = RegionFromResource(IDR_SHAPE_LEFT);
    OffsetRgn(right, 547, 230);
    OffsetRgn(left, 0, 230);
    HRGN outline = CreateRoundRectRgn(0, 0, 580, 411, 16, 16);
    HRGN corner = CreateRectRgn(0, 230, 33, 411);
    CombineRgn(outline, outline, corner, RGN_DIFF);
    CombineRgn(outline, outline, right, RGN_DIFF);
    CombineRgn(outline, outline, left, RGN_OR);
    for (HRGN region : {right, left, corner})
        DeleteObject(region);
    return outline;
}
