#include "controls.h"

#include "focus.h"
#include "paint.h"
#include "platform/gdi/gdi.h"

namespace {

// Draws `text` into `rect` of the DC in the dialog font.
void DrawDialogText(HDC hdc, const std::string& text, RECT rect, UINT format) {
    HFONT font = CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Shell Dlg");
    HGDIOBJ old = SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(0, 0, 0));
    DrawText(hdc, text.c_str(), -1, &rect, format | DT_NOPREFIX);
    SelectObject(hdc, old);
    DeleteObject(font);
}

void Fill(HDC hdc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(hdc, &rect, brush);
    DeleteObject(brush);
}

bool Inside(const CWnd& window, LPARAM lParam) {
    RECT client;
    window.GetClientRect(&client);
    const LONG x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    return x >= 0 && y >= 0 && x < client.right && y < client.bottom;
}

}  // namespace

LRESULT CStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return CWnd::WindowProc(message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(this, &paint);
    RECT client;
    GetClientRect(&client);
    Fill(hdc, client, kDialogColor);
    DrawDialogText(hdc, Text(), client, DT_LEFT | DT_WORDBREAK);
    EndPaint(this, &paint);
    return 0;
}

void CButton::Paint() {
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(this, &paint);
    RECT r;
    GetClientRect(&r);
    Fill(hdc, r, RGB(100, 100, 100));  // frame
    const RECT face{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    Fill(hdc, face, pressed_ ? RGB(204, 228, 247) : RGB(225, 225, 225));
    DrawDialogText(hdc, Text(), face, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
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
