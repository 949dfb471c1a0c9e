// Rows of 2-bit pixels, which the image keeps as 4-bit ones.
#pragma once

#include "platform/base/win_types.h"

// 2-bit pixels become nibbles, even pixels in the high nibble; from the end of
// the row backwards, so the wider result can share the buffer.
inline void PxWidenTwoBitRow(BYTE* row, DWORD width) {
    for (DWORD x = width; x-- > 0;) {
        const BYTE value = (row[x / 4] >> (6 - 2 * (x % 4))) & 3;
        BYTE& out = row[x / 2];
        out = (x % 2) ? static_cast<BYTE>((out & 0xF0) | value)
                      : static_cast<BYTE>((out & 0x0F) | (value << 4));
    }
}
