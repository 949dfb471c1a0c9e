#include "input.h"

#include "focus.h"

namespace {

bool Contains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

bool IsButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_LBUTTONDBLCLK;
}

}  // namespace

HWND ChildWindowFromPoint(HWND topLevel, POINT point) {
    if (!IsWindow(topLevel)) return nullptr;
    HWND found = topLevel;
    // Later children lie above earlier ones, so the last one containing the point wins.
    for (bool deeper = true; deeper;) {
        deeper = false;
        const auto& children = found->Children();
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            CWnd* child = *it;
            if (!child->IsWindowVisible() || !Contains(child->WindowRect(), point)) continue;
            point.x -= child->WindowRect().left;
            point.y -= child->WindowRect().top;
            found = child;
            deeper = true;
            break;
        }
    }
    return found;
}

bool PostMouseEvent(HWND topLevel, UINT message, POINT point, WPARAM keys) {
    if (!IsWindow(topLevel)) return false;
    if (IsButtonDown(message) && GetActiveWindow() != topLevel)
        SetActiveWindow(topLevel, WA_CLICKACTIVE);
    HWND target = GetCapture();
    if (!IsWindow(target)) target = ChildWindowFromPoint(topLevel, point);
    if (!target->IsWindowEnabled()) return false;
    POINT screen = point;
    topLevel->ClientToScreen(&screen);
    target->ScreenToClient(&screen);
    return target->PostMessage(message, keys, MAKELPARAM(screen.x, screen.y));
}

bool PostKeyEvent(UINT message, WPARAM key) {
    HWND target = GetFocus();
    if (!IsWindow(target)) target = GetActiveWindow();
    return IsWindow(target) && target->PostMessage(message, key, 0);
}
