// Raising the colour depth to 4, 8 or 24 bpp. A paletted result keeps this image's
// palette (the extra entries stay black). Like DecreaseBpp, fresh info.
#include "px_image.h"

bool PxImage::IncreaseBpp(DWORD bpp) {
    if (!dib || (bpp != 4 && bpp != 8 && bpp != 24)) return false;
    if (header.biBitCount == bpp) return true;
    if (header.biBitCount > bpp) return false;
    PxImage result(info.type);
    if (!result.Create(GetWidth(), GetHeight(), static_cast<LONG>(bpp),
                       static_cast<LONG>(info.type)))
        return false;
    result.SetPalette(GetPalette(), header.biClrUsed);
    result.SelectionCopy(*this);
    result.AlphaCopy(*this);
    result.Clear(0);
    for (LONG y = 0; y < header.biHeight; ++y) {
        if (info.escape) break;
        for (LONG x = 0; x < header.biWidth; ++x)
            result.SetPixelColor(x, y, GetPixelColor(x, y));
    }
    Transfer(result);
    return true;
}
