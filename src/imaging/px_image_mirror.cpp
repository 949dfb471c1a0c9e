// Mirror (left and right exchanged) and Flip (top and bottom exchanged). Both fill a
// copy that keeps the palette and the alpha channel but not the selection mask.
#include <algorithm>
#include <cstring>

#include "px_image.h"

bool PxImage::Mirror() {
    if (!dib) return false;
    PxImage result(*this, false, false, true);
    if (!result.IsValid()) return false;
    result.Clear(0);
    const LONG w = header.biWidth;
    for (LONG y = 0; y < header.biHeight; ++y) {
        const BYTE* src = RowAt(y);
        BYTE* out = result.RowAt(y);
        if (header.biBitCount == 8) {
            std::reverse_copy(src, src + w, out);
        } else if (header.biBitCount == 24) {
            for (LONG x = 0; x < w; ++x)
                std::memcpy(out + 3 * x, src + 3 * (w - 1 - x), 3);
        } else {
            for (LONG x = 0; x < w; ++x)
                result.SetPixelIndex(x, y, GetPixelIndex(w - 1 - x, y));
        }
    }
    if (result.alpha) result.AlphaMirror();
    Transfer(result);
    return true;
}

bool PxImage::Flip() {
    if (!dib) return false;
    PxImage result(*this, false, false, true);
    if (!result.IsValid()) return false;
    const LONG h = header.biHeight;
    for (LONG y = 0; y < h; ++y)
        std::memcpy(result.RowAt(y), RowAt(h - 1 - y), info.effWidth);
    if (result.alpha) result.AlphaFlip();
    Transfer(result);
    return true;
}
