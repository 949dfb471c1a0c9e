#include "preview_picture.h"

#include <cstring>

#include "picture_drawing.h"
#include "whole_file.h"

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

bool CPreviewPicture::SaveAs(const std::string& file, DWORD formatCode, DWORD bpp,
                             std::string* reason) const {
    std::string unused;
    std::string& why = reason ? *reason : unused;
    why.clear();
    if (!image) return false;
    PxImage copy(*image);
    bool ok = copy.IsValid();
    if (ok && lightness != 0.0) ok = LightKeepingTransparency(copy, BrightnessOf(lightness));
    if (ok && copy.GetBpp() < bpp) ok = copy.IncreaseBpp(bpp);
    if (ok && copy.GetBpp() > bpp) ok = copy.DecreaseBpp(bpp, true);
    if (ok && formatCode == PX_FORMAT_JPG) copy.SetJpegQuality(95);
    const int error =
        ok ? WriteWholeFile(file, [&](std::FILE* out) { return copy.Encode(out, formatCode); })
           : -1;
    if (error > 0) why = std::strerror(error);
    if (error < 0)
        why = *copy.GetLastError() ? copy.GetLastError() : "the picture cannot be encoded";
    return error == 0;
}
