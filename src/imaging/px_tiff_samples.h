// Rows of 8 or 16-bit grey, RGB or CMYK samples (alpha beside them) into the
// image's 24-bit blue, green, red rows and 8-bit alpha levels.
#pragma once

#include <cstdint>
#include <vector>

#include "px_color_profile.h"
#include "px_tiff_layout.h"

class PxTiffSampleRow {
public:
    // With a profile given, the colours go through it from their full depth.
    PxTiffSampleRow(const PxTiffLayout& layout, const BYTE* profile, std::size_t profileSize);

    // The input holds layout.width pixels of layout.samples samples each.
    std::size_t InputBytes() const;
    // `alpha`, when not null, receives one level a pixel.
    void Convert(const std::uint8_t* in, BYTE* outBgr, BYTE* alpha);

private:
    unsigned Sample(const std::uint8_t* in, std::size_t index) const;
    void Unpremultiply(unsigned* colour, unsigned level) const;
    // RGB without alpha or profile, 8 or 16 bits: the order and depth change only.
    void StoreRgb(const std::uint8_t* in, BYTE* outBgr) const;
    void StoreColour(const unsigned* colour, std::size_t x, BYTE* outBgr);
    BYTE ToByte(unsigned value) const;

    PxTiffLayout layout_;
    unsigned max_;
    bool wide_;  // the profile takes 16-bit samples
    PxColorToSrgb toSrgb_;
    std::vector<std::uint8_t> packed_;  // the colour samples the profile converts
};
