// Reducing the colour depth to 1, 4 or 8 bpp: every pixel takes the nearest entry of
// the given palette (or the standard one). With error diffusion the difference is
// spread into the not yet visited source pixels with weights 7, 2, 4, 1 sixteenths
// (14/16 of the error travels on). The result starts from fresh info, so the old
// palette's transparent index does not stick to the new one.
#include "px_image.h"
#include "px_image_math.h"

namespace {

bool SetReducedPalette(PxImage& result, const RGBQUAD* palette) {
    switch (result.GetBpp()) {
        case 1:
            if (palette) {
                result.SetPalette(palette, 16);
            } else {
                result.SetPaletteIndex(0, 0, 0, 0, 0);
                result.SetPaletteIndex(1, 255, 255, 255, 0);
            }
            return true;
        case 4:
            if (palette)
                result.SetPalette(palette, 16);
            else
                result.SetStdPalette();
            return true;
        case 8:
            if (palette)
                result.SetPalette(palette, 256);
            else
                result.SetStdPalette();
            return true;
        default:
            return false;
    }
}

}  // namespace

bool PxImage::DecreaseBpp(DWORD bpp, bool errorDiffusion, const RGBQUAD* palette) {
    if (!dib || header.biBitCount < bpp) return false;
    if (header.biBitCount == bpp) return true;
    const LONG w = header.biWidth, h = header.biHeight;
    PxImage result(info.type);
    if (!result.Create(GetWidth(), GetHeight(), static_cast<LONG>(bpp),
                       static_cast<LONG>(info.type)))
        return false;
    if (!SetReducedPalette(result, palette)) return false;
    result.SelectionCopy(*this);
    result.AlphaCopy(*this);
    result.Clear(0);  // rows left by an escape read as index 0

    for (LONG y = 0; y < h; ++y) {
        if (info.escape) break;
        info.progress = static_cast<LONG>(100LL * y / h);
        for (LONG x = 0; x < w; ++x) {
            const RGBQUAD col = GetPixelColor(x, y);
            result.SetPixelColor(x, y, col);
            if (!errorDiffusion) continue;
            const RGBQUAD chosen = result.GetPixelColor(x, y);
            const int error[3] = {col.rgbRed - chosen.rgbRed, col.rgbGreen - chosen.rgbGreen,
                                  col.rgbBlue - chosen.rgbBlue};
            DiffuseError(x + 1, y, 7, error);
            DiffuseError(x - 1, y + 1, 2, error);
            DiffuseError(x, y + 1, 4, error);
            DiffuseError(x + 1, y + 1, 1, error);
        }
    }
    Transfer(result);
    return true;
}

// y + 1 is the row above in the picture: rows are visited bottom-up.
void PxImage::DiffuseError(LONG x, LONG y, int weight, const int error[3]) {
    if (!IsInside(x, y)) return;
    RGBQUAD c = GetPixelColor(x, y);
    c.rgbRed = px::ClampToByte(c.rgbRed + error[0] * weight / 16);
    c.rgbGreen = px::ClampToByte(c.rgbGreen + error[1] * weight / 16);
    c.rgbBlue = px::ClampToByte(c.rgbBlue + error[2] * weight / 16);
    SetPixelColor(x, y, c);
}
