#include "preview_picture.h"

#include <cstdio>

#include "picture_drawing.h"

void CPreviewPicture::Draw(LONG w, LONG h) {
    if (!owner || !image) return;
    OwnerDC dc(owner);
    if (!dc.get()) return;
    if (w == 0) w = static_cast<LONG>(image->GetWidth());
    if (h == 0) h = static_cast<LONG>(image->GetHeight());
    const RECT area{originX, originY, originX + w, originY + h};
    if (hatched) {
        FillHatched(dc.get(), RECT{originX, originY, originX + static_cast<LONG>(GetWidth()),
                                   originY + static_cast<LONG>(GetHeight())});
    } else {
        FillBlack(dc.get(), area);
    }
    DrawWithLightness(dc.get(), *image, area, area, lightness);
}

bool CPreviewPicture::SaveAs(const std::string& file, DWORD formatCode, DWORD bpp) const {
    if (!image) return false;
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) return false;
    PxImage copy(*image);
    bool ok = copy.IsValid();
    if (ok && lightness != 0.0) ok = LightKeepingTransparency(copy, BrightnessOf(lightness));
    if (ok && copy.GetBpp() < bpp) ok = copy.IncreaseBpp(bpp);
    if (ok && copy.GetBpp() > bpp) ok = copy.DecreaseBpp(bpp, true);
    if (ok && formatCode == PX_FORMAT_JPG) copy.SetJpegQuality(95);
    if (ok) ok = copy.Encode(out, formatCode);
    ok = std::fclose(out) == 0 && ok;
    if (!ok) std::remove(file.c_str());
    return ok;
}
