#include "stamp_converter.h"

#include <cmath>
#include <cstdlib>

#include "app/settings/settings.h"
#include "picture_drawing.h"

DWORD ReadStampTolerance() {
    DWORD tolerance = 0;
    return ReadRegDword("StampTolerance", &tolerance) ? tolerance : kDefaultStampTolerance;
}

namespace {

bool Within(RGBQUAD p, RGBQUAD c, long t) {
    return std::labs(long{p.rgbRed} - c.rgbRed) < t &&
           std::labs(long{p.rgbGreen} - c.rgbGreen) < t &&
           std::labs(long{p.rgbBlue} - c.rgbBlue) < t;
}

// Columns left to right, each column bottom to top in library rows.
void KeyOut(PxImage& image, RGBQUAD color, long tolerance, RGBQUAD key) {
    const LONG w = static_cast<LONG>(image.GetWidth()), h = static_cast<LONG>(image.GetHeight());
    for (LONG x = 0; x < w; ++x)
        for (LONG y = 0; y < h; ++y)
            if (Within(image.GetPixelColor(x, y), color, tolerance)) image.SetPixelColor(x, y, key);
}

bool SameRgb(RGBQUAD a, RGBQUAD b) {
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

// Error diffusion may carry a key pixel onto a visible entry, or a visible pixel onto
// the transparent one. Transparency is what the user picked: key pixels take the
// transparent index and no other pixel does.
void KeepTransparentParts(const PxImage& source, PxImage& stamp, RGBQUAD key) {
    const LONG trans = stamp.GetTransIndex();
    const LONG w = static_cast<LONG>(stamp.GetWidth()), h = static_cast<LONG>(stamp.GetHeight());
    for (LONG y = 0; y < h; ++y) {
        for (LONG x = 0; x < w; ++x) {
            const RGBQUAD original = source.GetPixelColor(x, y);
            if (SameRgb(original, key))
                stamp.SetPixelIndex(x, y, static_cast<BYTE>(trans));
            else if (stamp.GetPixelIndex(x, y) == trans)
                stamp.SetPixelIndex(x, y, NearestVisibleIndex(stamp, original));
        }
    }
}

bool SameQuad(RGBQUAD a, RGBQUAD b) {
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue &&
           a.rgbReserved == b.rgbReserved;
}

}  // namespace

CStampConverter::CStampConverter() {
    originX = 107;
    originY = 167;
}

bool CStampConverter::Attach(CPicture* stamp, double scale) {
    target = stamp;
    image.reset();
    if (!stamp || !stamp->image || !stamp->image->IsValid()) return false;
    PxImage& real = *stamp->image;
    if (!real.IncreaseBpp(24)) return false;
    real.SetTransIndex(0);
    real.SetTransColor(keyColor);
    auto copy = std::make_unique<PxImage>(real);
    const LONG w = static_cast<LONG>(std::trunc(scale * real.GetWidth()));
    const LONG h = static_cast<LONG>(std::trunc(scale * real.GetHeight()));
    if (!copy->IsValid() || !copy->Resample(w, h, 1)) return false;
    image = std::move(copy);
    return true;
}

bool CStampConverter::HitPicture(LONG x, LONG y) const {
    if (!image) return false;
    const LONG dx = x - originX, dy = y - originY;
    return dx >= 0 && dy >= 0 && dx < static_cast<LONG>(GetWidth()) &&
           dy < static_cast<LONG>(GetHeight());
}

bool CStampConverter::PickAt(LONG x, LONG y) {
    if (!HitPicture(x, y)) return false;
    const LONG row = static_cast<LONG>(GetHeight()) - 1 - (y - originY);
    return MakeTransparent(image->GetPixelColor(x - originX, row));
}

bool CStampConverter::MakeTransparent(RGBQUAD color) {
    if (SameQuad(color, keyColor)) return false;
    const long tolerance = static_cast<long>(toleranceSource());
    if (image) KeyOut(*image, color, tolerance, keyColor);
    if (target && target->image) KeyOut(*target->image, color, tolerance, keyColor);
    return true;
}

void CStampConverter::DrawMagnified() {
    if (!owner || !image) return;
    OwnerDC dc(owner);
    if (!dc.get()) return;
    DrawOverHatch(dc.get(), *image, POINT{originX, originY});
}

bool CStampConverter::ConvertToStamp(PxImage& stamp) {
    COctreeQuantizer quantizer(256, 7);
    return ConvertToStamp(stamp, quantizer);
}

bool CStampConverter::ConvertToStamp(PxImage& stamp, COctreeQuantizer& quantizer) {
    if (!stamp.IsValid()) {
        PictureMessage("Header File Error");
        return false;
    }
    if (!quantizer.ProcessImage(stamp)) return false;
    RGBQUAD palette[256] = {};
    quantizer.GetColorTable(palette);
    quantizer.Clear();
    PxImage source(stamp);
    if (!source.IsValid() || !stamp.DecreaseBpp(8, true, palette)) return false;
    const BYTE nearest = stamp.GetNearestIndex(keyColor);
    if (SameRgb(stamp.GetPaletteColor(nearest), keyColor)) {
        stamp.SetTransIndex(nearest);
        KeepTransparentParts(source, stamp, keyColor);
    }
    return true;
}
