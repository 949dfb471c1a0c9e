// Builds GIF files byte by byte for the codec tests, with plain LZW data: every
// index a literal code, a clear code before the table would widen the codes.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/base/win_types.h"

struct GifBuilder {
    std::vector<BYTE> bytes;

    GifBuilder& U8(std::initializer_list<int> values) {
        for (int v : values)
            bytes.push_back(static_cast<BYTE>(v));
        return *this;
    }
    GifBuilder& U16(unsigned v) {
        return U8({static_cast<int>(v & 0xFF), static_cast<int>(v >> 8)});
    }
    // "GIF89a", the screen and a global table of `colours` greys (none when 0).
    GifBuilder& Header(unsigned width, unsigned height, int colours) {
        U8({'G', 'I', 'F', '8', '9', 'a'}).U16(width).U16(height);
        U8({colours ? 0x80 | (TableBits(colours) - 1) : 0, 0, 0});
        return GreyTable(colours);
    }
    GifBuilder& GreyTable(int colours) {
        for (int i = 0; i < colours; ++i)
            U8({i, i, i});
        return *this;
    }
    GifBuilder& Control(int disposal, int transparent, unsigned delay = 0) {
        U8({0x21, 0xF9, 4, (disposal << 2) | (transparent >= 0 ? 1 : 0)}).U16(delay);
        return U8({transparent >= 0 ? transparent : 0, 0});
    }
    GifBuilder& Descriptor(unsigned left, unsigned top, unsigned width, unsigned height,
                           int flags = 0) {
        return U8({0x2C}).U16(left).U16(top).U16(width).U16(height).U8({flags});
    }
    // Code size, the indices as sub-blocks, and the end code unless left out.
    GifBuilder& Data(int codeSize, const std::vector<int>& indices, bool endCode = true,
                     bool leadingClear = true) {
        U8({codeSize});
        const int clear = 1 << codeSize, width = codeSize + 1;
        std::vector<BYTE> packed;
        std::uint32_t bits = 0;
        int held = 0;
        auto put = [&](int code) {
            bits |= static_cast<std::uint32_t>(code) << held;
            for (held += width; held >= 8; held -= 8, bits >>= 8)
                packed.push_back(static_cast<BYTE>(bits));
        };
        if (leadingClear) put(clear);
        int sinceClear = 0;
        for (int index : indices) {
            if (sinceClear == clear - 2) {
                put(clear);
                sinceClear = 0;
            }
            put(index);
            ++sinceClear;
        }
        if (endCode) put(clear + 1);
        if (held > 0) packed.push_back(static_cast<BYTE>(bits));
        return SubBlocks(packed);
    }
    GifBuilder& SubBlocks(const std::vector<BYTE>& data) {
        for (std::size_t i = 0; i < data.size(); i += 255) {
            const std::size_t n = std::min<std::size_t>(255, data.size() - i);
            bytes.push_back(static_cast<BYTE>(n));
            bytes.insert(bytes.end(), data.begin() + i, data.begin() + i + n);
        }
        return U8({0});
    }
    GifBuilder& Trailer() { return U8({0x3B}); }

    static int TableBits(int colours) {
        int bits = 1;
        while ((1 << bits) < colours)
            ++bits;
        return bits;
    }
    BYTE* data() { return bytes.data(); }
    DWORD size() const { return static_cast<DWORD>(bytes.size()); }
};
