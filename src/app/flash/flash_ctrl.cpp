#include "flash_ctrl.h"

#include "app/globals.h"
#include "platform/window/focus.h"
#include "wiz_page.h"

void CFlashCtrl::OnLButtonDown(UINT flags, POINT point) {
    OnStripPress(point);
    CMoviePlayer::OnLButtonDown(flags, point);
}

void CFlashCtrl::OnStripPress(POINT point) {
    if (point.y >= kStripHeight || point.x >= kStripWidth || !IsWindow(g_mainWnd)) return;
    ReleaseCapture();
    if (point.x <= kMenuCorner)
        g_mainWnd->SendMessage(WM_SYSCOMMAND, SC_MOUSEMENU, 0);
    else
        g_mainWnd->SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

LRESULT CFlashCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_NCHITTEST) return CMoviePlayer::WindowProc(message, wParam, lParam);
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(&at);
    const bool drag = at.y >= 0 && at.y < kStripHeight && at.x > kMenuCorner && at.x < kStripWidth;
    return drag ? HTCAPTION : HTCLIENT;
}

void CFlashCtrl::OnFSCommand(const std::string& command, const std::string& argument) {
    if (auto* page = dynamic_cast<CDlgWizPage*>(GetParent())) page->OnFSCommand(command, argument);
}
