// A surface shown in a toolkit window, each of its pixels as a square of `scale`
// screen pixels, its top-left corner at `origin` (screen pixels of the window).
#pragma once

#include <vector>

#include "platform/gdi/surface.h"

struct RgbBlock {
    RECT area{};                     // screen pixels of the window; empty when nothing is covered
    std::vector<unsigned char> rgb;  // top row first, 3 bytes a pixel
};

// The pixels of `area` (screen pixels of the window) cut to what the surface covers.
RgbBlock ScaledRgb(const Surface& surface, const RECT& area, int scale, POINT origin = {0, 0});

// Draws the part `area` into the toolkit window being drawn; the pixels drawn.
long DrawSurface(const Surface& surface, const RECT& area, int scale, POINT origin = {0, 0});
