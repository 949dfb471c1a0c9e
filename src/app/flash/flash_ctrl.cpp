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

void CFlashCtrl::OnFSCommand(const std::string& command, const std::string& argument) {
    if (auto* page = dynamic_cast<CDlgWizPage*>(GetParent())) page->OnFSCommand(command, argument);
}
