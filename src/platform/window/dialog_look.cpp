#include "dialog_look.h"

#include <algorithm>
#include <cmath>

#include "platform/gdi/gdi.h"

namespace {

constexpr int kSamples = 4;

BYTE Mix(BYTE from, BYTE to, int covered) {
    return static_cast<BYTE>((from * (kSamples * kSamples - covered) + to * covered) /
                             (kSamples * kSamples));
}

COLORREF Blend(COLORREF under, COLORREF over, int covered) {
    return RGB(Mix(GetRValue(under), GetRValue(over), covered),
               Mix(GetGValue(under), GetGValue(over), covered),
               Mix(GetBValue(under), GetBValue(over), covered));
}

void DrawCentred(HDC hdc, const std::string& text, RECT rect, HFONT font, COLORREF color,
                 UINT extra = 0) {
    HGDIOBJ old = SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, color);
    DrawText(hdc, text.c_str(), -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | extra);
    SelectObject(hdc, old);
}

}  // namespace

HFONT CreateLookFont(int pixels, bool bold) {
    return CreateFont(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0,
                      look::kFace);
}

void FillSmooth(HDC hdc, const RECT& bounds, const std::function<bool(double, double)>& inside,
                COLORREF color) {
    for (LONG y = bounds.top; y < bounds.bottom; ++y) {
        for (LONG x = bounds.left; x < bounds.right; ++x) {
            int covered = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx)
                    covered += inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples);
            }
            if (covered == 0) continue;
            const COLORREF under = GetPixel(hdc, x, y);
            if (under == CLR_INVALID) continue;
            SetPixel(hdc, x, y, Blend(under, color, covered));
        }
    }
}

void FillRoundRect(HDC hdc, const RECT& rect, int radius, COLORREF color) {
    const double r =
        std::min<double>(radius, std::min(rect.right - rect.left, rect.bottom - rect.top) / 2.0);
    const double left = rect.left + r, right = rect.right - r;
    const double top = rect.top + r, bottom = rect.bottom - r;
    FillSmooth(
        hdc, rect,
        [&](double x, double y) {
            const double dx = x - std::clamp(x, left, right), dy = y - std::clamp(y, top, bottom);
            return dx * dx + dy * dy <= r * r;
        },
        color);
}

void DrawLookButton(HDC hdc, const RECT& rect, const LookButton& button, int scale) {
    const int radius = look::kButtonRadius * scale;
    if (button.isDefault) {
        FillRoundRect(hdc, rect, radius, button.pressed ? look::kAccentPressed : look::kAccent);
    } else {
        FillRoundRect(hdc, rect, radius, look::kBorder);
        const RECT face{rect.left + scale, rect.top + scale, rect.right - scale,
                        rect.bottom - scale};
        FillRoundRect(hdc, face, radius - scale, button.pressed ? look::kPressed : look::kPanel);
    }
    HFONT font = CreateLookFont(look::kTextPixels * scale, button.isDefault);
    RECT text = rect;
    if (button.pressed) text.top += 2 * scale;  // the label sinks as the button goes down
    DrawCentred(hdc, button.label, text, font, button.isDefault ? RGB(255, 255, 255) : look::kText);
    DeleteObject(font);
}

int LookButtonWidth(HDC hdc, const std::string& label, int scale) {
    HFONT font = CreateLookFont(look::kTextPixels * scale, true);
    HGDIOBJ old = SelectObject(hdc, font);
    RECT box{0, 0, 0, 0};
    DrawText(hdc, label.c_str(), -1, &box, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(hdc, old);
    DeleteObject(font);
    return box.right - box.left;
}

namespace {

constexpr COLORREF kInformationColor = RGB(0x25, 0x63, 0xEB);
constexpr COLORREF kErrorColor = RGB(0xD9, 0x53, 0x4F);
constexpr COLORREF kWarningColor = RGB(0xF2, 0xA9, 0x00);

bool InTriangle(double x, double y, const RECT& s) {
    const double w = s.right - s.left, h = s.bottom - s.top;
    const double top = s.top + h * 0.06, bottom = s.bottom - h * 0.06;
    if (y < top || y > bottom) return false;
    const double half = (y - top) / (bottom - top) * w / 2;
    const double mid = s.left + w / 2;
    return x >= mid - half && x <= mid + half;
}

// The error sign's cross: two bars along the diagonals, within the middle of the disc.
bool InCross(double x, double y, double cx, double cy, double arm, double half) {
    const double dx = x - cx, dy = y - cy;
    if (std::abs(dx) > arm || std::abs(dy) > arm) return false;
    return std::abs(dx - dy) / std::sqrt(2.0) <= half || std::abs(dx + dy) / std::sqrt(2.0) <= half;
}

}  // namespace

void DrawSignIcon(HDC hdc, const RECT& square, SignIcon icon) {
    const double size = std::min(square.right - square.left, square.bottom - square.top);
    const double cx = square.left + size / 2, cy = square.top + size / 2, r = size / 2;
    if (icon == SignIcon::kWarning) {
        FillSmooth(
            hdc, square, [&](double x, double y) { return InTriangle(x, y, square); },
            kWarningColor);
        HFONT font = CreateLookFont(static_cast<int>(size * 0.6), true);
        RECT lower = square;
        lower.top += static_cast<LONG>(size * 0.2);
        DrawCentred(hdc, "!", lower, font, look::kText, DT_NOPREFIX);
        DeleteObject(font);
        return;
    }
    const COLORREF disc = icon == SignIcon::kError ? kErrorColor : kInformationColor;
    FillSmooth(
        hdc, square,
        [&](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; },
        disc);
    if (icon == SignIcon::kError) {
        FillSmooth(
            hdc, square,
            [&](double x, double y) { return InCross(x, y, cx, cy, size * 0.2, size * 0.06); },
            RGB(255, 255, 255));
        return;
    }
    HFONT font = CreateLookFont(static_cast<int>(size * 0.66), true);
    DrawCentred(hdc, icon == SignIcon::kQuestion ? "?" : "i", square, font, RGB(255, 255, 255),
                DT_NOPREFIX);
    DeleteObject(font);
}
