// Noise repair by curvature smoothing: each channel of the chosen colour space is
// moved along its level lines, which flattens speckle but keeps edges.
#include "px_image.h"
#include "px_image_math.h"

bool PxImage::Repair(float strength, LONG passes, LONG colorSpace) {
    if (!dib) return false;
    PxImage c1, c2, c3;
    bool split;
    switch (colorSpace) {
        case 1:
            split = SplitHSL(&c1, &c2, &c3);
            break;
        case 2:
            split = SplitYUV(&c1, &c2, &c3);
            break;
        case 3:
            split = SplitYIQ(&c1, &c2, &c3);
            break;
        case 4:
            split = SplitXYZ(&c1, &c2, &c3);
            break;
        default:
            split = SplitRGB(&c1, &c2, &c3);
            break;
    }
    if (!split) return false;
    for (LONG pass = 0; pass < passes; ++pass) {
        RepairChannel(&c1, strength);
        RepairChannel(&c2, strength);
        RepairChannel(&c3, strength);
    }
    PxImage alphaImage;
    const bool withAlpha = alpha && AlphaSplit(&alphaImage);
    return Combine(&c1, &c2, &c3, withAlpha ? &alphaImage : nullptr, colorSpace);
}

// Interior pixels only; every derivative is read from the unchanged channel. The
// mixed term carries the factor 1.
bool PxImage::RepairChannel(PxImage* channel, float strength) {
    if (!channel || !channel->IsValid() || channel->GetBpp() != 8) return false;
    PxImage out(*channel);
    if (!out.IsValid()) return false;
    const LONG w = channel->header.biWidth, h = channel->header.biHeight;
    for (LONG y = 1; y < h - 1; ++y) {
        const BYTE* below = channel->RowAt(y - 1);
        const BYTE* row = channel->RowAt(y);
        const BYTE* above = channel->RowAt(y + 1);
        BYTE* target = out.RowAt(y);
        for (LONG x = 1; x < w - 1; ++x) {
            const float ix = static_cast<float>(row[x + 1] - row[x - 1]) * 0.5f;
            const float iy = static_cast<float>(above[x] - below[x]) * 0.5f;
            const float ixx = static_cast<float>(row[x + 1] - 2 * row[x] + row[x - 1]);
            const float iyy = static_cast<float>(above[x] - 2 * row[x] + below[x]);
            const float ixy =
                static_cast<float>(above[x + 1] + below[x - 1] - above[x - 1] - below[x + 1]) *
                0.25f;
            const float num = (iy * iy + 1) * ixx - ix * iy * ixy + (ix * ix + 1) * iyy;
            const float den = ix * ix + iy * iy + 1;
            target[x] = px::TruncToByte(static_cast<float>(row[x]) + strength * num / den);
        }
    }
    channel->Transfer(out);
    return true;
}
