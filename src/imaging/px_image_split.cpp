// Splitting a picture into three 8 bpp grey channel pictures (type 0, grey palette),
// whose pixel indices are the components of the chosen colour space. Null targets
// are skipped; all channels are built before any target is replaced, so this
// image may itself be one of the targets.
#include "px_image.h"

namespace {

RGBQUAD Identity(RGBQUAD c) {
    return c;
}

}  // namespace

bool PxImage::SplitChannels(PxImage* first, PxImage* second, PxImage* third,
                            RGBQUAD (*convert)(RGBQUAD)) const {
    if (!dib || (!first && !second && !third)) return false;
    PxImage channel[3];
    for (PxImage& c : channel) {
        if (!c.Create(GetWidth(), GetHeight(), 8, 0)) return false;
        c.SetGrayPalette();
        c.Clear(0);  // row padding
    }
    for (LONG y = 0; y < header.biHeight; ++y) {
        BYTE* rows[3] = {channel[0].RowAt(y), channel[1].RowAt(y), channel[2].RowAt(y)};
        for (LONG x = 0; x < header.biWidth; ++x) {
            const RGBQUAD c = convert(GetPixelColor(x, y));
            rows[0][x] = c.rgbRed;
            rows[1][x] = c.rgbGreen;
            rows[2][x] = c.rgbBlue;
        }
    }
    PxImage* targets[3] = {first, second, third};
    for (int i = 0; i < 3; ++i) {
        if (targets[i]) targets[i]->Transfer(channel[i]);
    }
    return true;
}

bool PxImage::SplitRGB(PxImage* red, PxImage* green, PxImage* blue) const {
    return SplitChannels(red, green, blue, Identity);
}

bool PxImage::SplitHSL(PxImage* hue, PxImage* saturation, PxImage* lightness) const {
    return SplitChannels(hue, saturation, lightness, RGBtoHSL);
}

bool PxImage::SplitYUV(PxImage* y, PxImage* u, PxImage* v) const {
    return SplitChannels(y, u, v, RGBtoYUV);
}

bool PxImage::SplitYIQ(PxImage* y, PxImage* i, PxImage* q) const {
    return SplitChannels(y, i, q, RGBtoYIQ);
}

bool PxImage::SplitXYZ(PxImage* x, PxImage* y, PxImage* z) const {
    return SplitChannels(x, y, z, RGBtoXYZ);
}
