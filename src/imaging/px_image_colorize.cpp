// Gives every colour one hue and saturation and keeps its lightness. A paletted
// picture changes only its palette (all entries, the selection is not consulted).
#include "px_image.h"

namespace {

RGBQUAD Recolour(RGBQUAD c, BYTE hue, BYTE saturation) {
    RGBQUAD hsl = PxImage::RGBtoHSL(c);
    hsl.rgbRed = hue;
    hsl.rgbGreen = saturation;
    return PxImage::HSLtoRGB(hsl);  // reserved byte 0
}

}  // namespace

bool PxImage::Colorize(BYTE hue, BYTE saturation) {
    if (!dib) return false;
    if (RGBQUAD* palette = GetPalette()) {
        for (DWORD i = 0; i < header.biClrUsed; ++i)
            palette[i] = Recolour(palette[i], hue, saturation);
        return true;
    }
    MapSelectedPixels([=](RGBQUAD c) { return Recolour(c, hue, saturation); });
    return true;
}
