#include "shape_rects.h"

#include "xlib.h"

#include <algorithm>
#include <cstdint>

std::vector<XRectangle> ShapeRectangles(const Region& region, LONG width, LONG height, int scale) {
    scale = std::max(scale, 1);
    const std::int64_t maxW = std::min<std::int64_t>(std::int64_t{width} * scale, 32767);
    const std::int64_t maxH = std::min<std::int64_t>(std::int64_t{height} * scale, 32767);
    std::vector<XRectangle> out;
    for (const RECT& r : region.Rects()) {
        const std::int64_t left = std::max<std::int64_t>(std::int64_t{r.left} * scale, 0);
        const std::int64_t top = std::max<std::int64_t>(std::int64_t{r.top} * scale, 0);
        const std::int64_t right = std::min(std::int64_t{r.right} * scale, maxW);
        const std::int64_t bottom = std::min(std::int64_t{r.bottom} * scale, maxH);
        if (left >= right || top >= bottom) continue;
        out.push_back(XRectangle{static_cast<short>(left), static_cast<short>(top),
                                 static_cast<unsigned short>(right - left),
                                 static_cast<unsigned short>(bottom - top)});
    }
    return out;
}

void ApplyWindowShape(Display* display, Window window, const std::optional<Region>& shape,
                      LONG width, LONG height, int scale) {
    if (!display || !window) return;
    if (!shape) {
        XShapeCombineMask(display, window, ShapeBounding, 0, 0, None, ShapeSet);
        return;
    }
    std::vector<XRectangle> rects = ShapeRectangles(*shape, width, height, scale);
    // The region's rectangles are banded top to bottom, left to right.
    XShapeCombineRectangles(display, window, ShapeBounding, 0, 0, rects.data(),
                            static_cast<int>(rects.size()), ShapeSet, YXBanded);
}
