#include "shape_rects.h"

#include "xlib.h"

#include <algorithm>

std::vector<XRectangle> ShapeRectangles(const Region& region, LONG width, LONG height) {
    const LONG maxW = std::min<LONG>(width, 32767), maxH = std::min<LONG>(height, 32767);
    std::vector<XRectangle> out;
    for (const RECT& r : region.Rects()) {
        const LONG left = std::max<LONG>(r.left, 0), top = std::max<LONG>(r.top, 0);
        const LONG right = std::min(r.right, maxW), bottom = std::min(r.bottom, maxH);
        if (left >= right || top >= bottom) continue;
        out.push_back(XRectangle{static_cast<short>(left), static_cast<short>(top),
                                 static_cast<unsigned short>(right - left),
                                 static_cast<unsigned short>(bottom - top)});
    }
    return out;
}

void ApplyWindowShape(Display* display, Window window, const std::optional<Region>& shape,
                      LONG width, LONG height) {
    if (!display || !window) return;
    if (!shape) {
        XShapeCombineMask(display, window, ShapeBounding, 0, 0, None, ShapeSet);
        return;
    }
    std::vector<XRectangle> rects = ShapeRectangles(*shape, width, height);
    // The region's rectangles are banded top to bottom, left to right.
    XShapeCombineRectangles(display, window, ShapeBounding, 0, 0, rects.data(),
                            static_cast<int>(rects.size()), ShapeSet, YXBanded);
}
