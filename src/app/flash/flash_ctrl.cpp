#include "flash_ctrl.h"

#include "app/globals.h"
#include "platform/window/focus.h"
#include "wiz_page.h"

LRESULT CFlashCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
            OnStripPress(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return 0;
        default:
            break;
    }
    return CMoviePlayer::WindowProc(message, wParam, lParam);
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
