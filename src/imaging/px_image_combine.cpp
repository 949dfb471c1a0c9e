// Rebuilding a 24 bpp picture (type 0) from three channel pictures and an optional
// alpha picture. The second and third channels and the alpha picture are scaled in
// place, by nearest neighbour, to the size of the first.
#include "px_image.h"

namespace {

using Convert = RGBQUAD (*)(RGBQUAD);

RGBQUAD Identity(RGBQUAD c) {
    return c;
}

Convert FromColorSpace(LONG colorSpace) {
    switch (colorSpace) {
        case 1:
            return PxImage::HSLtoRGB;
        case 2:
            return PxImage::YUVtoRGB;
        case 3:
            return PxImage::YIQtoRGB;
        case 4:
            return PxImage::XYZtoRGB;
        default:
            return Identity;
    }
}

}  // namespace

// A channel that holds no picture would silently read as black: refuse it.
bool PxImage::Combine(PxImage* first, PxImage* second, PxImage* third, PxImage* alphaImage,
                      LONG colorSpace) {
    if (!first || !second || !third) return false;
    if (!first->IsValid() || !second->IsValid() || !third->IsValid()) return false;
    const LONG w = first->header.biWidth, h = first->header.biHeight;
    PxImage result;
    result.CopyInfo(*this);
    if (!result.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), 24, 0)) return false;
    result.Clear(0);
    second->Resample(w, h, 1);
    third->Resample(w, h, 1);
    const bool withAlpha = alphaImage && alphaImage->IsValid() && alphaImage->Resample(w, h, 1) &&
                           result.AlphaCreate();
    const Convert convert = FromColorSpace(colorSpace);
    for (LONG y = 0; y < h; ++y) {
        for (LONG x = 0; x < w; ++x) {
            const RGBQUAD col{third->GetPixelIndex(x, y), second->GetPixelIndex(x, y),
                              first->GetPixelIndex(x, y), 0};
            result.SetPixelColor(x, y, convert(col));
            if (withAlpha) result.AlphaSet(x, y, alphaImage->GetPixelIndex(x, y));
        }
    }
    Transfer(result);
    return true;
}
