// The 40-byte bitmap info header as it is stored in DIB blocks and files:
// little-endian whatever the host.
#pragma once

#include <cstddef>
#include <cstdint>

#include "win_types.h"

constexpr std::size_t kInfoHeaderSize = 40;

inline std::uint16_t LoadLE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t LoadLE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void StoreLE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void StoreLE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void PackInfoHeader(const BITMAPINFOHEADER& h, std::uint8_t* out);
BITMAPINFOHEADER UnpackInfoHeader(const std::uint8_t* in);
