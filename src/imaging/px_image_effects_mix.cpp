// Lightens or darkens this picture by a second one: grey 127 in the other picture
// leaves a pixel as it is, brighter lightens, darker darkens, scaled by amount.
#include "px_image.h"
#include "px_image_math.h"

bool PxImage::MidMix(PxImage* other, double amount) {
    if (!dib || !other || other->GetWidth() == 0 || other->GetHeight() == 0) return false;
    if (!(amount > 0)) amount = 0;  // negative (or not a number) counts as 0
    other->Resample(header.biWidth, header.biHeight, 0);
    const auto mix = [amount](BYTE mine, BYTE theirs) {
        return px::TruncToByte(mine + amount * (theirs - 127));
    };
    for (LONG y = 0; y < header.biHeight; ++y) {
        for (LONG x = 0; x < header.biWidth; ++x) {
            const RGBQUAD c = GetPixelColor(x, y);
            const RGBQUAD o = other->GetPixelColor(x, y);
            SetPixelColor(x, y,
                          RGBQUAD{mix(c.rgbBlue, o.rgbBlue), mix(c.rgbGreen, o.rgbGreen),
                                  mix(c.rgbRed, o.rgbRed), 0});
        }
    }
    return true;
}
