// Builds BMP files byte by byte for the codec tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/base/win_types.h"

struct BmpBuilder {
    std::vector<BYTE> bytes;

    BmpBuilder& U8(std::initializer_list<int> values) {
        for (int v : values)
            bytes.push_back(static_cast<BYTE>(v));
        return *this;
    }
    BmpBuilder& U16(unsigned v) {
        return U8({static_cast<int>(v & 0xFF), static_cast<int>(v >> 8)});
    }
    BmpBuilder& U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<BYTE>(v >> (8 * i)));
        return *this;
    }
    BmpBuilder& FileHeader(std::uint32_t pixelOffset) {
        return U8({'B', 'M'}).U32(0).U16(0).U16(0).U32(pixelOffset);
    }
    BmpBuilder& InfoHeader(std::int32_t width, std::int32_t height, int bits,
                           std::uint32_t compression = BI_RGB, std::uint32_t colors = 0) {
        return U32(40)
            .U32(static_cast<std::uint32_t>(width))
            .U32(static_cast<std::uint32_t>(height))
            .U16(1)
            .U16(static_cast<unsigned>(bits))
            .U32(compression)
            .U32(0)
            .U32(3780)
            .U32(3780)
            .U32(colors)
            .U32(0);
    }
    // n palette entries: entry i is (i, i, i) unless given.
    BmpBuilder& GreyPalette(int n) {
        for (int i = 0; i < n; ++i)
            U8({i, i, i, 0});
        return *this;
    }
    BYTE* data() { return bytes.data(); }
    DWORD size() const { return static_cast<DWORD>(bytes.size()); }
};
