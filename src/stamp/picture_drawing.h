// Drawing helpers shared by the picture holders: a device context on the owner
// window for the length of a scope, and the grey hatch that shows through
// transparent parts of a stamp.
#pragma once

#include "imaging/px_image.h"

class CWnd;

class OwnerDC {
public:
    explicit OwnerDC(CWnd* owner);
    ~OwnerDC();
    OwnerDC(const OwnerDC&) = delete;
    OwnerDC& operator=(const OwnerDC&) = delete;
    HDC get() const { return hdc_; }

private:
    CWnd* owner_;
    HDC hdc_;
};

// Diagonal lines rising to the right, grey (128, 128, 128).
void FillHatched(HDC hdc, const RECT& rect);
void FillBlack(HDC hdc, const RECT& rect);
// The picture at its own size at `at`, its transparent parts showing the hatch.
void DrawOverHatch(HDC hdc, const PxImage& image, POINT at);

// Draws the picture into rect, clipped to clip; with a non-zero lightness a copy
// brightened by BrightnessOf(lightness) is drawn instead.
void DrawWithLightness(HDC hdc, const PxImage& image, const RECT& rect, const RECT& clip,
                       double lightness);
