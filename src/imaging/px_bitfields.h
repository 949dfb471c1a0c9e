// One colour channel cut out of a bit-field pixel.
#pragma once

#include <bit>

#include "platform/base/win_types.h"

// The field the mask selects, its top 8 bits placed in the top bits of the byte
// (a 5-bit 31 becomes 248). An empty mask gives 0.
inline BYTE FieldToByte(DWORD pixel, DWORD mask) {
    if (mask == 0) return 0;
    const DWORD field = (pixel & mask) >> std::countr_zero(mask);
    const int width = std::popcount(mask);
    return static_cast<BYTE>(width >= 8 ? field >> (width - 8) : field << (8 - width));
}
