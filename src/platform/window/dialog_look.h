// The wizard's look for what the system draws around the movie (message boxes,
// the About box, pop-up menus): the page colours and font of the movie, rounded
// buttons with a blue default, and sign icons of our own. Sizes are given for
// one screen pixel per pixel and multiplied by `scale` where a caller draws at a
// larger scale.
#pragma once

#include <functional>
#include <string>

#include "platform/gdi/gdi_types.h"

namespace look {

constexpr COLORREF kPage = RGB(0xF4, 0xF6, 0xFA);
constexpr COLORREF kPanel = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kText = RGB(0x1F, 0x29, 0x37);
constexpr COLORREF kRule = RGB(0xDD, 0xE3, 0xEC);
constexpr COLORREF kBorder = RGB(0x9A, 0xA7, 0xBA);
constexpr COLORREF kAccent = RGB(0x25, 0x63, 0xEB);
constexpr COLORREF kAccentPressed = RGB(0x1D, 0x4E, 0xD8);
constexpr COLORREF kPressed = RGB(0xE4, 0xEB, 0xF8);

// The movie's "Arial", which the font rules resolve to Liberation Sans.
constexpr const char* kFace = "Arial";
constexpr int kTextPixels = 13;
constexpr int kButtonHeight = 30;
constexpr int kButtonMinWidth = 90;
constexpr int kButtonRadius = 6;

}  // namespace look

enum class SignIcon { kInformation, kQuestion, kWarning, kError };

// The caller deletes the font.
HFONT CreateLookFont(int pixels, bool bold);

// Fills the pixels of `bounds` for which `inside` holds at sub-pixel points,
// blending the edge pixels by how much of them is covered (4 x 4 samples).
void FillSmooth(HDC hdc, const RECT& bounds, const std::function<bool(double, double)>& inside,
                COLORREF color);
void FillRoundRect(HDC hdc, const RECT& rect, int radius, COLORREF color);

struct LookButton {
    std::string label;  // "&" marks the shortcut letter
    bool isDefault;     // blue: what Enter presses
    bool pressed;
};
void DrawLookButton(HDC hdc, const RECT& rect, const LookButton& button, int scale);
// Text width of a button label in the button font, & prefixes left out.
int LookButtonWidth(HDC hdc, const std::string& label, int scale);

// A round (triangular for warnings) sign filling `square`.
void DrawSignIcon(HDC hdc, const RECT& square, SignIcon icon);
