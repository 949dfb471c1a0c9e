// The selection mask: width x height bytes, non-zero where selected. selectionBox
// holds its bounds in image coordinates: left/bottom inclusive, right/top exclusive
// (an empty box is left = width, top = 0, right = 0, bottom = height).
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "px_image.h"

namespace {

// Coordinates from callers may be anything; keep the conversion defined.
LONG ToColumn(double x) {
    return static_cast<LONG>(std::clamp(x, -1.0, 2147483647.0));
}

}  // namespace

void PxImage::ResetSelectionBox() {
    info.selectionBox = RECT{header.biWidth, 0, 0, header.biHeight};
}

void PxImage::GrowSelectionBox(LONG x, LONG y) {
    RECT& box = info.selectionBox;
    box.left = std::min(box.left, x);
    box.right = std::max(box.right, x + 1);
    box.bottom = std::min(box.bottom, y);
    box.top = std::max(box.top, y + 1);
}

// Selects pixels x0 <= x < x1 of row y, clipped to the picture.
void PxImage::SelectSpan(LONG y, LONG x0, LONG x1) {
    x0 = std::max<LONG>(x0, 0);
    x1 = std::min<LONG>(x1, header.biWidth);
    if (y < 0 || y >= header.biHeight || x0 >= x1) return;
    std::memset(selection + static_cast<std::size_t>(y) * header.biWidth + x0, 255,
                static_cast<std::size_t>(x1 - x0));
    GrowSelectionBox(x0, y);
    GrowSelectionBox(x1 - 1, y);
}

bool PxImage::SelectionCreate() {
    if (!dib) return false;
    if (!ReplaceMask(selection, static_cast<BYTE*>(std::calloc(PixelCount(), 1)))) return false;
    ResetSelectionBox();
    return true;
}

bool PxImage::SelectionDelete() {
    std::free(selection);
    selection = nullptr;
    ResetSelectionBox();
    return true;
}

bool PxImage::SelectionClear() {
    if (!selection) return false;
    std::memset(selection, 0, PixelCount());
    ResetSelectionBox();
    return true;
}

bool PxImage::SelectionInvert() {
    if (!selection) return false;
    ResetSelectionBox();
    for (LONG y = 0; y < header.biHeight; ++y) {
        BYTE* row = selection + static_cast<std::size_t>(y) * header.biWidth;
        for (LONG x = 0; x < header.biWidth; ++x) {
            row[x] = row[x] ? 0 : 255;
            if (row[x]) GrowSelectionBox(x, y);
        }
    }
    return true;
}

// Both dimensions must match, or the copy would run past the source mask.
bool PxImage::SelectionCopy(const PxImage& from) {
    if (!from.selection || !dib || from.header.biWidth != header.biWidth ||
        from.header.biHeight != header.biHeight)
        return false;
    if (!selection && !SelectionCreate()) return false;
    std::memcpy(selection, from.selection, PixelCount());
    info.selectionBox = from.info.selectionBox;
    return true;
}

// The rectangle spans x from left to right and y from bottom to top, edges
// exclusive on the right and top; either order of the edges is accepted.
bool PxImage::SelectionAddRect(RECT rect) {
    if (!dib || (!selection && !SelectionCreate())) return false;
    const LONG x0 = std::min(rect.left, rect.right), x1 = std::max(rect.left, rect.right);
    const LONG y0 = std::min(rect.top, rect.bottom), y1 = std::max(rect.top, rect.bottom);
    for (LONG y = std::max<LONG>(y0, 0); y < std::min<LONG>(y1, header.biHeight); ++y)
        SelectSpan(y, x0, x1);
    return true;
}

// The ellipse inscribed in the rectangle; a pixel is inside when its centre is.
bool PxImage::SelectionAddEllipse(RECT rect) {
    if (!dib || (!selection && !SelectionCreate())) return false;
    const double x0 = std::min(rect.left, rect.right), x1 = std::max(rect.left, rect.right);
    const double y0 = std::min(rect.top, rect.bottom), y1 = std::max(rect.top, rect.bottom);
    const double rx = (x1 - x0) / 2, ry = (y1 - y0) / 2;
    if (rx <= 0 || ry <= 0) return true;
    const double cx = x0 + rx, cy = y0 + ry;
    for (LONG y = std::max<LONG>(std::min(rect.top, rect.bottom), 0);
         y < std::min<LONG>(std::max(rect.top, rect.bottom), header.biHeight); ++y) {
        const double dy = (y + 0.5 - cy) / ry;
        if (dy * dy > 1) continue;
        const double half = rx * std::sqrt(1 - dy * dy);
        // Pixel x is inside when |x + 0.5 - cx| <= half.
        SelectSpan(y, ToColumn(std::ceil(cx - half - 0.5)),
                   ToColumn(std::floor(cx + half - 0.5) + 1));
    }
    return true;
}

// Even-odd fill of the closed polygon, sampled at pixel centres.
bool PxImage::SelectionAddPolygon(const POINT* points, LONG count) {
    if (!points || count < 3 || !dib || (!selection && !SelectionCreate())) return false;
    std::vector<double> crossings;
    for (LONG y = 0; y < header.biHeight; ++y) {
        const double sy = y + 0.5;
        crossings.clear();
        for (LONG i = 0; i < count; ++i) {
            // In double: differences of far-apart points overflow 32 bits.
            const double ax = points[i].x, ay = points[i].y;
            const double bx = points[(i + 1) % count].x, by = points[(i + 1) % count].y;
            if ((ay <= sy) == (by <= sy)) continue;
            crossings.push_back(ax + (sy - ay) * (bx - ax) / (by - ay));
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            SelectSpan(y, ToColumn(std::ceil(crossings[i] - 0.5)),
                       ToColumn(std::ceil(crossings[i + 1] - 0.5)));
        }
    }
    return true;
}

bool PxImage::IsInsideSelection(LONG x, LONG y) const {
    if (!IsInside(x, y)) return false;
    return !selection || selection[x + static_cast<std::size_t>(y) * header.biWidth] != 0;
}
