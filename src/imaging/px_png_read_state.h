// What one PNG decode keeps between the codec's steps.
#pragma once

#include <cstddef>

#include "px_color_profile.h"
#include "px_png_stream.h"

// Plain data: a library error jumps over every frame that uses it. The colour
// conversion lives in the frame that calls the recovery point.
struct PxPngReadState {
    PxPngFailure failure;
    PxPngSource source;
    png_structp png;
    png_infop info;
    BYTE* row;  // the library's row buffer
    std::size_t rowSize;
    int fileBits;  // bits per pixel in the file, before any transformation
    bool withAlpha;
    PxColorToSrgb* colour;  // empty unless sRGB was asked for and the profile serves
    // 16-bit samples go through the profile before they become 8-bit; an
    // interlaced file keeps its whole 16-bit picture in `deep` until the last pass.
    bool fullDepth;
    BYTE* deep;
};
