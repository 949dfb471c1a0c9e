// How the first page of a TIFF file stores its samples, and which of the
// decoder's reading paths takes it.
#pragma once

#include <tiffio.h>

#include <cstdint>

enum class PxTiffPath {
    Indexed,  // palette or grey of 1 to 8 bits, one sample: a palette image
    Samples,  // 8 or 16-bit grey, RGB or CMYK, interleaved, maybe with alpha: 24 bits
    Rgba,     // everything else the library's RGBA reader knows
};

struct PxTiffLayout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t bits = 1;
    std::uint16_t samples = 1;
    std::uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    int colourSamples = 0;  // 1 grey or palette, 3 RGB, 4 CMYK; 0 for another model
    int alphaSample = -1;   // the sample that holds alpha, -1 for none
    bool associatedAlpha = false;
    PxTiffPath path = PxTiffPath::Rgba;
};

// Reads the tags of the current directory; a JPEG-compressed YCbCr page is set
// to come out as RGB first.
PxTiffLayout PxTiffReadLayout(TIFF* tif);
