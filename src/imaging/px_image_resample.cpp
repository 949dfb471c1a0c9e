// Scaling. A non-zero mode picks nearest neighbour; mode 0 averages areas when a
// 24 bpp picture shrinks in both directions and interpolates bilinearly otherwise.
// Scale factors and interpolation run in single precision, so the bytes are the
// same on every machine.
#include <algorithm>

#include "px_image.h"
#include "px_image_math.h"

namespace {

struct Sample {
    LONG x0, x1;
    float d;
};

// The two neighbours of a result coordinate and the weight of the second one.
Sample SampleAt(LONG i, float scale, LONG size) {
    const float f = static_cast<float>(i) * scale;
    // Rounding can land exactly on the edge for huge enlargements; keep inside.
    const LONG x0 = std::min<LONG>(static_cast<LONG>(f), size - 1);
    return Sample{x0, std::min<LONG>(size - 1, x0 + 1), f - static_cast<float>(x0)};
}

}  // namespace

bool PxImage::Resample(LONG newWidth, LONG newHeight, int mode, PxImage* target) {
    if (!dib || newWidth <= 0 || newHeight <= 0) return false;
    if (target == this) target = nullptr;
    if (newWidth == header.biWidth && newHeight == header.biHeight) {
        if (target) *target = *this;
        return true;
    }

    const float xs = static_cast<float>(header.biWidth) / static_cast<float>(newWidth);
    const float ys = static_cast<float>(header.biHeight) / static_cast<float>(newHeight);

    PxImage result;
    result.CopyInfo(*this);
    if (!result.Create(static_cast<DWORD>(newWidth), static_cast<DWORD>(newHeight),
                       header.biBitCount, static_cast<LONG>(info.type)))
        return false;
    result.SetPalette(GetPalette(), 256);
    // An escape leaves rows unwritten: they must not carry stale heap bytes.
    result.Clear(0);

    if (mode != 0) {
        ResampleNearest(result, xs, ys);
    } else if (header.biBitCount == 24 && newWidth < header.biWidth &&
               newHeight < header.biHeight) {
        ResampleArea(result, xs, ys);
    } else {
        ResampleBilinear(result, xs, ys);
    }

    if (alpha && result.AlphaCreate()) {
        for (LONG y = 0; y < newHeight; ++y) {
            const LONG sy = static_cast<LONG>(static_cast<float>(y) * ys);
            for (LONG x = 0; x < newWidth; ++x)
                result.AlphaSet(x, y, AlphaGet(static_cast<LONG>(static_cast<float>(x) * xs), sy));
        }
    }
    result.info.progress = info.progress;
    result.info.escape = info.escape;
    (target ? target : this)->Transfer(result);
    return true;
}

void PxImage::ResampleNearest(PxImage& result, float xs, float ys) {
    const LONG newWidth = result.header.biWidth, newHeight = result.header.biHeight;
    for (LONG y = 0; y < newHeight; ++y) {
        info.progress = static_cast<LONG>(100LL * y / newHeight);
        if (info.escape) break;
        const LONG sy = static_cast<LONG>(static_cast<float>(y) * ys);
        for (LONG x = 0; x < newWidth; ++x) {
            const LONG sx = static_cast<LONG>(static_cast<float>(x) * xs);
            result.SetPixelColor(x, y, GetPixelColor(sx, sy));
        }
    }
}

void PxImage::ResampleBilinear(PxImage& result, float xs, float ys) {
    const LONG newWidth = result.header.biWidth, newHeight = result.header.biHeight;
    const auto colorAt = [this](LONG x, LONG y) {
        if (header.biClrUsed) return GetPaletteColor(GetPixelIndex(x, y));
        const BYTE* p = RowAt(y) + 3 * static_cast<std::size_t>(x);
        return RGBQUAD{p[0], p[1], p[2], 0};
    };
    const auto mix = [](BYTE c1, BYTE c2, BYTE c3, BYTE c4, float dx, float dy) {
        const float a = static_cast<float>(c1) * (1 - dy) + static_cast<float>(c3) * dy;
        const float b = static_cast<float>(c2) * (1 - dy) + static_cast<float>(c4) * dy;
        return static_cast<BYTE>(static_cast<long>(a * (1 - dx) + b * dx));
    };
    for (LONG y = 0; y < newHeight; ++y) {
        info.progress = static_cast<LONG>(100LL * y / newHeight);
        if (info.escape) break;
        const Sample sy = SampleAt(y, ys, header.biHeight);
        for (LONG x = 0; x < newWidth; ++x) {
            const Sample sx = SampleAt(x, xs, header.biWidth);
            const RGBQUAD c1 = colorAt(sx.x0, sy.x0), c2 = colorAt(sx.x1, sy.x0);
            const RGBQUAD c3 = colorAt(sx.x0, sy.x1), c4 = colorAt(sx.x1, sy.x1);
            const RGBQUAD out{mix(c1.rgbBlue, c2.rgbBlue, c3.rgbBlue, c4.rgbBlue, sx.d, sy.d),
                              mix(c1.rgbGreen, c2.rgbGreen, c3.rgbGreen, c4.rgbGreen, sx.d, sy.d),
                              mix(c1.rgbRed, c2.rgbRed, c3.rgbRed, c4.rgbRed, sx.d, sy.d), 0};
            result.SetPixelColor(x, y, out);
        }
    }
}
