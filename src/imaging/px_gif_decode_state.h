// What the GIF decoder carries from one block of a file to the next.
#pragma once

#include <algorithm>
#include <cstdint>

#include "px_gif_codec.h"

struct PxGifCodec::DecodeState {
    // A few bytes must not buy a huge picture: past this floor the pixels of all
    // frames decoded together may only grow with the data, at most by what the
    // densest code stream (a 12-bit code for a 4096-pixel string) can carry.
    static constexpr std::uint64_t kFreePixels = std::uint64_t{1} << 20;
    static constexpr std::uint64_t kPixelsPerByte = 4096;

    LONG screenWidth = 0;
    LONG screenHeight = 0;
    BYTE globalTable[768] = {};
    int globalSize = 0;  // 0: the file has no global table
    int trueColourCount = 0;
    LONG imageNumber = 0;
    LONG firstTransIndex = -1;
    bool tiled = false;
    bool decodedAny = false;
    std::uint64_t pixelBudget = UINT64_MAX;
    PxImage previous;
    PxImage canvas;
    RGBQUAD canvasTransColor = {};

    void SetBudget(std::int64_t bytes) {
        if (bytes >= 0)
            pixelBudget = std::max(kFreePixels, static_cast<std::uint64_t>(bytes) * kPixelsPerByte);
    }
    bool Spend(std::uint64_t pixels) {
        if (pixels > pixelBudget) return false;
        pixelBudget -= pixels;
        return true;
    }
};
