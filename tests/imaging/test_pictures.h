// Small picture makers and comparisons shared by the image operation tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>

#include "imaging/px_image.h"

namespace testpic {

inline bool SameColour(RGBQUAD a, RGBQUAD b) {
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

// Raw engine output only: distributions differ between standard libraries.
inline PxImage Random24(DWORD w, DWORD h, std::uint32_t seed) {
    PxImage image(w, h, 24);
    std::mt19937 rng(seed);
    for (LONG y = 0; y < static_cast<LONG>(h); ++y) {
        for (LONG x = 0; x < static_cast<LONG>(w); ++x) {
            const std::uint32_t v = rng();
            image.SetPixelColor(x, y, RGBQUAD{BYTE(v), BYTE(v >> 8), BYTE(v >> 16), 0});
        }
    }
    return image;
}

inline PxImage Uniform24(DWORD w, DWORD h, RGBQUAD c) {
    PxImage image(w, h, 24);
    for (LONG y = 0; y < static_cast<LONG>(h); ++y) {
        for (LONG x = 0; x < static_cast<LONG>(w); ++x)
            image.SetPixelColor(x, y, c);
    }
    return image;
}

// Same size, depth and palette, and every pixel the same.
inline ::testing::AssertionResult SamePicture(const PxImage& a, const PxImage& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.GetBpp() != b.GetBpp())
        return ::testing::AssertionFailure() << "geometry or depth differs";
    if (a.GetPaletteSize() != b.GetPaletteSize() ||
        (a.GetPaletteSize() && std::memcmp(a.GetPalette(), b.GetPalette(), a.GetPaletteSize())))
        return ::testing::AssertionFailure() << "palette differs";
    for (LONG y = 0; y < static_cast<LONG>(a.GetHeight()); ++y) {
        for (LONG x = 0; x < static_cast<LONG>(a.GetWidth()); ++x) {
            const bool same = a.IsIndexed()
                                  ? a.GetPixelIndex(x, y) == b.GetPixelIndex(x, y)
                                  : SameColour(a.GetPixelColor(x, y), b.GetPixelColor(x, y));
            if (!same) return ::testing::AssertionFailure() << "pixel " << x << "," << y;
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace testpic
