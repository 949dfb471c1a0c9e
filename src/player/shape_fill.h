// The shapes of movie items drawn with the software GDI: plain and rounded
// rectangles, colour ramps, lines of any width, ellipses and polygons. Curved
// and slanted shapes are filled row by row within the DC's clip box.
#pragma once

#include <vector>

#include "movie.h"
#include "platform/gdi/gdi_types.h"

namespace player {

void FillBox(HDC hdc, const RECT& rect, COLORREF color);
// The outline is `width` pixels inside the rectangle; radius 0 gives square corners.
void DrawRectangle(HDC hdc, const RECT& rect, std::optional<COLORREF> fill,
                   std::optional<COLORREF> stroke, int width, int radius);
void DrawGradient(HDC hdc, const RECT& rect, COLORREF from, COLORREF to, bool horizontal);
void DrawLine(HDC hdc, POINT a, POINT b, COLORREF color, int width);
// A one-pixel outline when `stroke` is given.
void DrawEllipse(HDC hdc, const RECT& rect, std::optional<COLORREF> fill,
                 std::optional<COLORREF> stroke);
// Even-odd filling, pixel centres inside.
void FillPolygon(HDC hdc, const std::vector<POINT>& points, COLORREF color);

}  // namespace player
