#include "caption_strip.h"

#include <algorithm>
#include <memory>

#include "platform/gdi/gdi.h"
#include "platform/window/dialog_look.h"

namespace {

constexpr COLORREF kStripTop = RGB(0x2F, 0x6F, 0xD6);
constexpr COLORREF kStripBottom = RGB(0x1D, 0x4F, 0x91);
constexpr COLORREF kStripLine = RGB(0x17, 0x3F, 0x75);
constexpr COLORREF kClose = RGB(0xD9, 0x53, 0x4F);
constexpr COLORREF kClosePressed = RGB(0xB5, 0x3B, 0x37);

BYTE Between(BYTE from, BYTE to, LONG at, LONG of) {
    return static_cast<BYTE>(from + (static_cast<int>(to) - from) * at / std::max<LONG>(of, 1));
}

}  // namespace

RECT CaptionCloseButton(LONG width, int scale) {
    const LONG w = 20 * scale, h = 18 * scale, margin = 4 * scale;
    return RECT{width - margin - w, margin, width - margin, margin + h};
}

CaptionPart CaptionPartAt(LONG width, LONG x, LONG y, int scale) {
    if (x < 0 || x >= width || y < 0 || y >= kCaptionHeight * scale) return CaptionPart::kNone;
    const RECT close = CaptionCloseButton(width, scale);
    if (x >= close.left && x < close.right && y >= close.top && y < close.bottom)
        return CaptionPart::kClose;
    return CaptionPart::kStrip;
}

void PaintCaption(Surface& target, const std::string& title, bool closePressed, int scale) {
    scale = std::max(scale, 1);
    const LONG height = std::min<LONG>(kCaptionHeight * scale, target.Height());
    const LONG width = target.Width();
    for (LONG y = 0; y < height; ++y) {
        const COLORREF c =
            y >= height - scale
                ? kStripLine
                : RGB(Between(GetRValue(kStripTop), GetRValue(kStripBottom), y, height),
                      Between(GetGValue(kStripTop), GetGValue(kStripBottom), y, height),
                      Between(GetBValue(kStripTop), GetBValue(kStripBottom), y, height));
        for (LONG x = 0; x < width; ++x)
            target.Put(x, y, c);
    }
    HDC hdc = CreateSurfaceDC(std::shared_ptr<Surface>(&target, [](Surface*) {}));
    const RECT close = CaptionCloseButton(width, scale);
    FillRoundRect(hdc, close, 3 * scale, closePressed ? kClosePressed : kClose);
    HFONT font = CreateLookFont(look::kTextPixels * scale, true);
    HFONT cross = CreateLookFont(15 * scale, true);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(hdc, font);
    RECT text{10 * scale, 0, close.left - 6 * scale, height - scale};
    DrawText(hdc, title.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(hdc, cross);
    RECT mark = close;
    DrawText(hdc, "\xC3\x97", -1, &mark, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(hdc, old);
    DeleteObject(font);
    DeleteObject(cross);
    DeleteDC(hdc);
}
