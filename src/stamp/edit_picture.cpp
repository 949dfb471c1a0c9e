#include "edit_picture.h"

#include <algorithm>
#include <cmath>

#include "picture_drawing.h"

namespace {

LONG Trunc(double value) {
    return static_cast<LONG>(std::trunc(value));
}

// Width and height of the picture inside the box.
std::pair<LONG, LONG> DisplaySize(LONG w, LONG h) {
    const double box = kEditBoxSide;
    if (w >= kEditBoxSide && h >= kEditBoxSide) {
        if (w <= h) return {Trunc(box / h * w), kEditBoxSide};
        return {kEditBoxSide, Trunc(box / w * h)};
    }
    if (w >= kEditBoxSide) return {kEditBoxSide, Trunc(box / w * h)};
    if (h >= kEditBoxSide) return {Trunc(box / h * w), kEditBoxSide};
    return {w, h};
}

// A side of at least one pixel, so that very long pictures still give a stamp.
LONG AtLeastOne(double value) {
    return std::max<LONG>(1, Trunc(value));
}

}  // namespace

void CEditPicture::ComputeDisplayRects() {
    const auto [w, h] = DisplaySize(static_cast<LONG>(GetWidth()), static_cast<LONG>(GetHeight()));
    drawRect = RECT{originX, originY, originX + w, originY + h};
    displayRect = drawRect;
}

void CEditPicture::Draw() {
    ComputeDisplayRects();
    if (!owner) return;
    OwnerDC dc(owner);
    if (!dc.get()) return;
    FillBlack(dc.get(), RECT{originX, originY, originX + kEditBoxSide, originY + kEditBoxSide});
    if (image) DrawWithLightness(dc.get(), *image, drawRect, displayRect, lightness);
}

std::unique_ptr<PxImage> CEditPicture::ExtractWhole(LONG w, LONG h) const {
    if (!image || !image->IsValid() || w <= 0 || h <= 0) return nullptr;
    auto result = std::make_unique<PxImage>();
    if (!result->Create(static_cast<DWORD>(w), static_cast<DWORD>(h), image->GetBpp(), 0))
        return nullptr;
    if (image->IsIndexed()) result->SetPalette(image->GetPalette(), 256);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            result->SetPixelColor(x, y, RGBQUAD{0, 0, 0, 0});

    const double sr = static_cast<double>(image->GetWidth()) / image->GetHeight();
    const double tr = static_cast<double>(w) / h;
    LONG scaledW = w, scaledH = h, offX = 0, offY = 0;
    if (tr > sr) {
        scaledW = AtLeastOne(sr / tr * w);
        offX = (w - scaledW) / 2;
    } else {
        scaledH = AtLeastOne(tr / sr * h);
        offY = (h - scaledH) / 2;
    }
    // Scaled straight from the picture: a copy of a large one first would cost more
    // than the scaling.
    PxImage scaled;
    if (!image->Resample(scaledW, scaledH, 0, &scaled)) return nullptr;
    for (LONG y = 0; y < scaledH; ++y)
        for (LONG x = 0; x < scaledW; ++x)
            result->SetPixelColor(x + offX, y + offY, scaled.GetPixelColor(x, y));
    return result;
}

std::unique_ptr<PxImage> CEditPicture::ExtractSelection(const RECT& frame, LONG w, LONG h) const {
    const LONG drawWidth = drawRect.right - drawRect.left;
    if (!image || !image->IsValid() || drawWidth <= 0) return nullptr;
    // The horizontal scale serves both axes: the picture is drawn with its proportions.
    const double s = static_cast<double>(image->GetWidth()) / drawWidth;
    const RECT crop{Trunc(s * (frame.left - drawRect.left)), Trunc(s * (frame.top - drawRect.top)),
                    Trunc(s * (frame.right - drawRect.left)),
                    Trunc(s * (frame.bottom - drawRect.top))};
    // Cut and scaled in one pass: on a large picture the frame's part alone is a
    // copy of tens of megabytes, and the preview is cut on every move of the frame.
    auto result = std::make_unique<PxImage>();
    if (!image->CropResampled(crop, w, h, result.get())) return nullptr;
    return result;
}

LONG StampSide(int format) {
    return format == 1 ? 16 : 32;
}

bool ExtractStamp(const CEditPicture& picture, bool selectAll, int format, const RECT& frame,
                  CPicture& target) {
    const LONG side = StampSide(format);
    std::unique_ptr<PxImage> stamp =
        selectAll ? picture.ExtractWhole(side, side) : picture.ExtractSelection(frame, side, side);
    if (!stamp) return false;
    target.image = std::move(stamp);
    return true;
}

RECT CenteredSquare(const RECT& limits) {
    const LONG width = limits.right - limits.left, height = limits.bottom - limits.top;
    const double ratio = height == 0 ? 1000.0 : static_cast<double>(width) / height;
    if (ratio > 1.0) {
        const LONG cx = (limits.left + limits.right) / 2;
        const double half = height * 0.5;
        return RECT{Trunc(cx - half), limits.top, Trunc(cx + half), limits.bottom};
    }
    const LONG cy = (limits.top + limits.bottom) / 2;
    const double half = width * 0.5;
    return RECT{limits.left, Trunc(cy - half), limits.right, Trunc(cy + half)};
}
