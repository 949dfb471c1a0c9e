#include "controls.h"

#include <cstdlib>

#include "dialog_look.h"
#include "focus.h"
#include "paint.h"
#include "platform/gdi/gdi.h"

namespace {

HWND TopLevelOf(const CWnd* window) {
    HWND top = const_cast<CWnd*>(window);
    while (top && top->GetParent())
        top = top->GetParent();
    return top;
}

bool InStyledDialog(const CWnd* window) {
    const HWND top = TopLevelOf(window);
    return top && (top->GetStyle() & WS_CAPTION);
}

// Draws `text` into `rect` of the DC in the dialog font, or the look's font.
void DrawDialogText(HDC hdc, const std::string& text, RECT rect, UINT format, bool styled) {
    HFONT font = styled
                     ? CreateLookFont(look::kTextPixels, false)
                     : CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Shell Dlg");
    HGDIOBJ old = SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, styled ? look::kText : RGB(0, 0, 0));
    DrawText(hdc, text.c_str(), -1, &rect, format | DT_NOPREFIX);
    SelectObject(hdc, old);
    DeleteObject(font);
}

bool Inside(const CWnd& window, LPARAM lParam) {
    RECT client;
    window.GetClientRect(&client);
    const LONG x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    return x >= 0 && y >= 0 && x < client.right && y < client.bottom;
}

// "#128" or "128": the icon resource an icon control shows.
int IconIdOf(const std::string& text) {
    const char* digits = text.c_str() + (text.rfind('#', 0) == 0 ? 1 : 0);
    return std::atoi(digits);
}

// The icon's pixels blended by their alpha, scaled to fill `rect`.
void DrawIcon(HDC hdc, const RECT& rect, const WindowIcon& icon) {
    const LONG w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (icon.width <= 0 || icon.height <= 0 || w <= 0 || h <= 0 ||
        icon.rgba.size() < static_cast<std::size_t>(icon.width) * icon.height * 4)
        return;
    for (LONG y = 0; y < h; ++y) {
        for (LONG x = 0; x < w; ++x) {
            const BYTE* p = &icon.rgba[(static_cast<std::size_t>(y * icon.height / h) * icon.width +
                                        static_cast<std::size_t>(x * icon.width / w)) *
                                       4];
            if (p[3] == 0) continue;
            const COLORREF under = GetPixel(hdc, rect.left + x, rect.top + y);
            if (under == CLR_INVALID) continue;
            auto mix = [&](BYTE from, BYTE to) {
                return static_cast<BYTE>((from * (255 - p[3]) + to * p[3]) / 255);
            };
            SetPixel(hdc, rect.left + x, rect.top + y,
                     RGB(mix(GetRValue(under), p[0]), mix(GetGValue(under), p[1]),
                         mix(GetBValue(under), p[2])));
        }
    }
}

}  // namespace

COLORREF DialogBackground(const CWnd* window) {
    return InStyledDialog(window) ? look::kPage : kDialogColor;
}

void CStatic::Paint() {
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(this, &paint);
    RECT client;
    GetClientRect(&client);
    FillSolidRect(hdc, client, DialogBackground(this));
    if ((GetStyle() & 0x0F) == SS_ICON) {
        if (const HICON icon = LoadIcon(IconIdOf(Text()))) DrawIcon(hdc, client, *icon);
    } else {
        DrawDialogText(hdc, Text(), client, DT_LEFT | DT_WORDBREAK, InStyledDialog(this));
    }
    EndPaint(this, &paint);
}

LRESULT CStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return CWnd::WindowProc(message, wParam, lParam);
    Paint();
    return 0;
}

void CButton::Paint() {
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(this, &paint);
    RECT r;
    GetClientRect(&r);
    if (InStyledDialog(this)) {
        FillSolidRect(hdc, r, DialogBackground(this));
        DrawLookButton(hdc, r, LookButton{Text(), (GetStyle() & BS_DEFPUSHBUTTON) != 0, pressed_},
                       1);
    } else {
        FillSolidRect(hdc, r, RGB(100, 100, 100));  // frame
        const RECT face{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        FillSolidRect(hdc, face, pressed_ ? RGB(204, 228, 247) : RGB(225, 225, 225));
        DrawDialogText(hdc, Text(), face, DT_CENTER | DT_VCENTER | DT_SINGLELINE, false);
    }
    EndPaint(this, &paint);
}

LRESULT CButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_LBUTTONDOWN:
            pressed_ = true;
            SetCapture(this);
            InvalidateRect(this, nullptr);
            return 0;
        case WM_LBUTTONUP: {
            if (!pressed_) return 0;
            pressed_ = false;
            ReleaseCapture();
            InvalidateRect(this, nullptr);
            if (Inside(*this, lParam) && GetParent())
                GetParent()->SendMessage(WM_COMMAND, GetDlgCtrlID(), 0);
            return 0;
        }
        default:
            return CWnd::WindowProc(message, wParam, lParam);
    }
}
