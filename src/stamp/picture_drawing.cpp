#include "picture_drawing.h"

#include "picture.h"
#include "platform/gdi/gdi.h"
#include "platform/window/paint.h"

OwnerDC::OwnerDC(CWnd* owner) : owner_(owner), hdc_(owner ? GetDC(owner) : nullptr) {}

OwnerDC::~OwnerDC() {
    if (hdc_) ReleaseDC(owner_, hdc_);
}

namespace {

void FillWith(HDC hdc, const RECT& rect, HBRUSH brush) {
    FillRect(hdc, &rect, brush);
    DeleteObject(brush);
}

}  // namespace

void FillHatched(HDC hdc, const RECT& rect) {
    FillWith(hdc, rect, CreateHatchBrush(HS_BDIAGONAL, RGB(128, 128, 128)));
}

void DrawOverHatch(HDC hdc, const PxImage& image, POINT at) {
    const RECT area{at.x, at.y, at.x + static_cast<LONG>(image.GetWidth()),
                    at.y + static_cast<LONG>(image.GetHeight())};
    FillHatched(hdc, area);
    image.Draw(hdc, area, &area);
}

void FillBlack(HDC hdc, const RECT& rect) {
    FillWith(hdc, rect, CreateSolidBrush(RGB(0, 0, 0)));
}

void DrawWithLightness(HDC hdc, const PxImage& image, const RECT& rect, const RECT& clip,
                       double lightness) {
    if (lightness == 0.0) {
        image.Draw(hdc, rect, &clip);
        return;
    }
    PxImage lit(image);
    if (LightKeepingTransparency(lit, BrightnessOf(lightness))) lit.Draw(hdc, rect, &clip);
}
