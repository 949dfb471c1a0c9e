// Sample rows: associated alpha is divided out, CMYK without a profile is
// mixed down plainly, 16-bit samples keep their depth for a profile.
#include "px_tiff_samples.h"

#include <algorithm>
#include <cstring>

namespace {

PxPixelLayout ProfileLayout(int colourSamples, bool wide) {
    switch (colourSamples) {
        case 1:
            return wide ? PxPixelLayout::Gray16 : PxPixelLayout::Gray8;
        case 3:
            return wide ? PxPixelLayout::Rgb16 : PxPixelLayout::Rgb8;
        default:
            return PxPixelLayout::Cmyk8;
    }
}

}  // namespace

PxTiffSampleRow::PxTiffSampleRow(const PxTiffLayout& layout, const BYTE* profile,
                                 std::size_t profileSize)
    : layout_(layout),
      max_(layout.bits == 16 ? 65535u : 255u),
      // There is no 16-bit CMYK layout; CMYK goes through the profile at 8 bits.
      wide_(layout.bits == 16 && layout.colourSamples != 4),
      toSrgb_(profile, profileSize, ProfileLayout(layout.colourSamples, wide_)) {
    if (toSrgb_)
        packed_.resize(std::size_t{layout.width} * static_cast<std::size_t>(layout.colourSamples) *
                       (wide_ ? 2 : 1));
}

std::size_t PxTiffSampleRow::InputBytes() const {
    return std::size_t{layout_.width} * layout_.samples * (layout_.bits / 8);
}

unsigned PxTiffSampleRow::Sample(const std::uint8_t* in, std::size_t index) const {
    if (layout_.bits == 8) return in[index];
    std::uint16_t value;  // the library has put 16-bit samples in native order
    std::memcpy(&value, in + 2 * index, sizeof value);
    return value;
}

// Rounded: 16 bits to 8 as 65535 to 255.
BYTE PxTiffSampleRow::ToByte(unsigned value) const {
    return static_cast<BYTE>(max_ == 255 ? value : (value + 128) / 257);
}

void PxTiffSampleRow::Unpremultiply(unsigned* colour, unsigned level) const {
    for (int c = 0; c < layout_.colourSamples; ++c)
        colour[c] = level == 0 ? 0 : std::min(max_, (colour[c] * max_ + level / 2) / level);
}

void PxTiffSampleRow::Convert(const std::uint8_t* in, BYTE* outBgr, BYTE* alpha) {
    const std::size_t samples = layout_.samples;
    // The common scan and photo page, RGB as stored: only order and depth change.
    if (!toSrgb_ && samples == 3 && layout_.colourSamples == 3 && layout_.alphaSample < 0) {
        StoreRgb(in, outBgr);
        return;
    }
    for (std::size_t x = 0; x < layout_.width; ++x) {
        const std::size_t first = x * samples;
        unsigned colour[4] = {0, 0, 0, 0};
        for (int c = 0; c < layout_.colourSamples; ++c)
            colour[c] = Sample(in, first + static_cast<std::size_t>(c));
        if (layout_.alphaSample >= 0) {
            const unsigned level =
                Sample(in, first + static_cast<std::size_t>(layout_.alphaSample));
            if (layout_.associatedAlpha) Unpremultiply(colour, level);
            if (alpha) alpha[x] = ToByte(level);
        }
        if (layout_.photometric == PHOTOMETRIC_MINISWHITE) colour[0] = max_ - colour[0];
        StoreColour(colour, x, outBgr);
    }
    if (toSrgb_) toSrgb_.ConvertRow(packed_.data(), outBgr, layout_.width);
}

void PxTiffSampleRow::StoreRgb(const std::uint8_t* in, BYTE* outBgr) const {
    const std::size_t width = layout_.width;
    if (layout_.bits == 8) {
        for (std::size_t x = 0; x < width; ++x, in += 3, outBgr += 3) {
            outBgr[0] = in[2];
            outBgr[1] = in[1];
            outBgr[2] = in[0];
        }
        return;
    }
    for (std::size_t x = 0; x < width; ++x, in += 6, outBgr += 3) {
        std::uint16_t rgb[3];
        std::memcpy(rgb, in, sizeof rgb);
        for (int c = 0; c < 3; ++c)
            outBgr[2 - c] = static_cast<BYTE>((rgb[c] + 128u) / 257u);
    }
}

void PxTiffSampleRow::StoreColour(const unsigned* colour, std::size_t x, BYTE* outBgr) {
    const auto n = static_cast<std::size_t>(layout_.colourSamples);
    if (toSrgb_) {
        for (std::size_t c = 0; c < n; ++c) {
            if (wide_) {
                const auto value = static_cast<std::uint16_t>(colour[c]);
                std::memcpy(&packed_[2 * (x * n + c)], &value, sizeof value);
            } else {
                packed_[x * n + c] = ToByte(colour[c]);
            }
        }
        return;
    }
    BYTE* out = outBgr + 3 * x;
    if (n == 1) {
        out[0] = out[1] = out[2] = ToByte(colour[0]);
    } else if (n == 3) {
        out[0] = ToByte(colour[2]);
        out[1] = ToByte(colour[1]);
        out[2] = ToByte(colour[0]);
    } else {
        // No ink is 0: each colour is what its ink and the black leave.
        const unsigned white = 255u - ToByte(colour[3]);
        out[0] = static_cast<BYTE>((255u - ToByte(colour[2])) * white / 255u);
        out[1] = static_cast<BYTE>((255u - ToByte(colour[1])) * white / 255u);
        out[2] = static_cast<BYTE>((255u - ToByte(colour[0])) * white / 255u);
    }
}
