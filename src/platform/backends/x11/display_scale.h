// Large screens: every pixel of the window system is shown as a square of
// `factor` x `factor` screen pixels, so pages, tests and pixel rules stay as they
// are at one pixel per pixel. Screen positions of the window system are screen
// pixels divided by the factor.
#pragma once

#include <optional>
#include <string>

#include "platform/base/win_types.h"

struct DisplayScale {
    int factor = 1;

    LONG ToScreen(LONG v) const { return v * factor; }
    // Rounds down, so a point just left of or above a window maps outside it.
    LONG ToWindow(LONG v) const { return v >= 0 ? v / factor : -((-v + factor - 1) / factor); }
    RECT ToScreen(const RECT& r) const {
        return RECT{ToScreen(r.left), ToScreen(r.top), ToScreen(r.right), ToScreen(r.bottom)};
    }
    POINT ToWindow(POINT p) const { return POINT{ToWindow(p.x), ToWindow(p.y)}; }
};

constexpr int kMaxScale = 8;

// The scale the desktop asks for: OSTREL_SCALE when it is a whole number from 1
// to 8, else GDK_SCALE when it is a whole number of at least 1, else the font
// resolution (Xft.dpi) in multiples of 96 dots per inch, from 192 on; else 1.
// Unset variables are null.
int ChooseScale(const char* ostrelScale, const char* gdkScale, std::optional<double> xftDpi);

// Xft.dpi from the display's resource text ("Xft.dpi:\t192\n..."), when set.
std::optional<double> XftDpiOf(const std::string& resources);
