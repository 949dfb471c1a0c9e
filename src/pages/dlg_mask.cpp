#include "dlg_mask.h"

#include "app/resources/wizard_resources.h"
#include "platform/window/focus.h"
#include "platform/window/paint.h"

CDlgMask::CDlgMask(CWnd* page) : CDialog(IDD_MASK, page), page_(page) {}

bool CDlgMask::Place(LONG x, LONG y, LONG width, LONG height) {
    if (!GetSafeHwnd() && !Create(IDD_MASK, page_)) return false;
    x_ = x;
    y_ = y;
    MoveWindow(RECT{x, y, x + width, y + height});
    ShowWindow(SW_SHOW);
    return true;
}

void CDlgMask::OnMouseMove(UINT flags, POINT point) {
    if (IsWindow(page_))
        page_->SendMessage(WM_MOUSEMOVE, flags, MAKELPARAM(point.x + x_, point.y + y_));
}

void CDlgMask::OnLButtonDown(UINT /*flags*/, POINT /*point*/) {
    if (GetStyle() & WS_TABSTOP) SetFocus(this);
    SetCapture(this);
    if (IsWindow(page_)) page_->SendMessage(WM_LBUTTONDOWN, 0, 0);
}

void CDlgMask::OnLButtonUp(UINT /*flags*/, POINT /*point*/) {
    if (GetCapture() == this) ReleaseCapture();
    if (IsWindow(page_)) page_->SendMessage(WM_LBUTTONUP, 0, 0);
}

// The page paints the picture under the mask.
void CDlgMask::OnPaint() {
    ValidateRect(this, nullptr);
}

bool CDlgMask::PreTranslateMessage(const MSG& message) {
    auto* page = dynamic_cast<CDialog*>(page_);
    return page && IsWindow(page_) ? page->PreTranslateMessage(message) : false;
}

void CDlgMask::OnKeyDown(UINT key) {
    if (IsWindow(page_)) page_->SendMessage(WM_KEYDOWN, key, 0);
}

void CDlgMask::OnChar(UINT character) {
    if (IsWindow(page_)) page_->SendMessage(WM_CHAR, character, 0);
}

LRESULT CDlgMask::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_SETFOCUS || message == WM_KILLFOCUS) && IsWindow(page_))
        page_->SendMessage(WM_MASK_FOCUS, message == WM_SETFOCUS ? 1 : 0, 0);
    return CDialog::WindowProc(message, wParam, lParam);
}
