// Brightness and contrast. Contrast is a percentage: 100 keeps it, 0 flattens every
// channel to 128 + brightness. Paletted pictures keep their palette; each pixel
// takes the entry nearest to its new colour.
#include "px_image.h"
#include "px_image_math.h"

bool PxImage::Light(LONG brightness, LONG contrast) {
    if (!dib) return false;
    const float k = static_cast<float>(contrast) * 0.01f;
    const float offset = static_cast<float>(brightness);
    const auto channel = [k, offset](BYTE v) {
        return px::TruncToByte(static_cast<float>(v - 128) * k + offset + 128);
    };
    MapSelectedPixels([&](RGBQUAD c) {
        return RGBQUAD{channel(c.rgbBlue), channel(c.rgbGreen), channel(c.rgbRed), 0};
    });
    return true;
}

// Rows from the bottom edge of the selection box up; without a mask, the picture.
RECT PxImage::SelectedArea() const {
    if (!selection) return RECT{0, header.biHeight, header.biWidth, 0};
    const RECT& box = info.selectionBox;
    const auto clamp = [](LONG v, LONG n) { return v < 0 ? 0 : (v > n ? n : v); };
    return RECT{clamp(box.left, header.biWidth), clamp(box.top, header.biHeight),
                clamp(box.right, header.biWidth), clamp(box.bottom, header.biHeight)};
}
