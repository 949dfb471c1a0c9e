// A window region as the rectangles of an X shape: the region's own banded
// rectangles, cut to the window, shown `scale` times larger, and cut to the 16-bit
// coordinates X uses. Width and height are the window's, in its own pixels.
#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <vector>

#include "platform/gdi/region.h"

std::vector<XRectangle> ShapeRectangles(const Region& region, LONG width, LONG height,
                                        int scale = 1);

// Sets the window's bounding shape to the region (window coordinates); none gives
// back the plain rectangle.
void ApplyWindowShape(Display* display, Window window, const std::optional<Region>& shape,
                      LONG width, LONG height, int scale = 1);
