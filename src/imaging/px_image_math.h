// Number conversions shared by the image operations. Floating-point values become
// integers by truncation toward zero; values that no integer can hold (NaN,
// infinities, far outside the picture) are turned into a defined answer instead of
// the undefined behaviour of a plain cast.
#pragma once

#include <cmath>

#include "platform/base/win_types.h"

namespace px {

// Far outside any picture, so pixel reads there answer with the transparent colour.
constexpr LONG kOutside = -0x40000000;

// (long)v for coordinates: truncation toward zero, kOutside when v is not a number
// or cannot be a pixel coordinate at all.
inline LONG TruncCoordinate(double v) {
    if (!(v > -1e9 && v < 1e9)) return kOutside;
    return static_cast<LONG>(v);
}

// Truncation toward zero, then limited to 0..255.
inline BYTE TruncToByte(double v) {
    if (!(v > 0)) return 0;  // also NaN
    if (v >= 255) return 255;
    return static_cast<BYTE>(v);
}

// Nearest integer, limited to 0..255; for the colour-space conversions.
inline BYTE RoundToByte(double v) {
    return TruncToByte(v + 0.5);
}

inline BYTE ClampToByte(long v) {
    return static_cast<BYTE>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

}  // namespace px
