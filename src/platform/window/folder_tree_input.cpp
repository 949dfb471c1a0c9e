// The folder tree's keys, mouse and tips.
#include <algorithm>

#include "focus.h"
#include "folder_tree.h"
#include "folder_tree_node.h"
#include "paint.h"
#include "platform/gdi/gdi.h"
#include "text_fit.h"

namespace {

constexpr int kWheelRows = 3;

}  // namespace

int CFolderView::RowAt(POINT p) const {
    if (p.y < 0 || bar_.Contains(p)) return -1;
    const int row = (p.y + bar_.Position()) / kRowHeight;
    return row < static_cast<int>(rows_.size()) ? row : -1;
}

void CFolderView::OnKey(WPARAM key) {
    if (rows_.empty()) return;
    if (key == VK_BACK) return GoToParent();
    const int last = static_cast<int>(rows_.size()) - 1;
    RECT client;
    GetClientRect(&client);
    const int page = std::max(1, static_cast<int>(client.bottom) / kRowHeight - 1);
    int row = std::max(0, RowOf(selected_));
    Node* node = rows_[static_cast<std::size_t>(row)];
    switch (key) {
        case VK_UP:
            --row;
            break;
        case VK_DOWN:
            ++row;
            break;
        case VK_HOME:
            row = 0;
            break;
        case VK_END:
            row = last;
            break;
        case VK_PRIOR:
            row -= page;
            break;
        case VK_NEXT:
            row += page;
            break;
        case VK_LEFT:
            if (node->expanded) return Collapse(*node);
            return Select(node->parent);
        case VK_RIGHT:
            if (!node->expanded && node->expandable) return Expand(*node);
            if (node->expanded && !node->children.empty())
                return Select(node->children.front().get());
            return;
        default:
            return;
    }
    Select(rows_[static_cast<std::size_t>(std::clamp(row, 0, last))]);
}

// The expander toggles; a press elsewhere on a row selects it, and a double
// click also opens or closes it.
void CFolderView::OnPress(POINT p, bool twice) {
    SetFocus(this);
    pathTip_.Pop();
    if (bar_.Contains(p)) {
        bar_.Press(p);
        if (bar_.Dragging()) SetCapture(this);
        InvalidateRect(this, nullptr);
        return;
    }
    const int row = RowAt(p);
    if (row < 0) return;
    Node* node = rows_[static_cast<std::size_t>(row)];
    const int expanderRight = TextLeft(*node) - 18;
    const bool onExpander = p.x >= expanderRight - kIndent && p.x < expanderRight;
    if (!onExpander) Select(node);
    if (!onExpander && !twice) return;
    if (node->expanded)
        Collapse(*node);
    else if (node->expandable)
        Expand(*node);
}

void CFolderView::OnMove(POINT p) {
    if (bar_.Drag(p)) InvalidateRect(this, nullptr);
    const int row = RowAt(p);
    if (row != tipRow_) pathTip_.Pop();
    tipRow_ = row;
}

// A name that had to be cut shows its whole path as the tip.
void CFolderView::AnswerTip(NMTTDISPINFO& info) {
    info.lpszText = "";
    if (tipRow_ < 0 || tipRow_ >= static_cast<int>(rows_.size())) return;
    const Node& node = *rows_[static_cast<std::size_t>(tipRow_)];
    RECT client;
    GetClientRect(&client);
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ old =
        SelectObject(hdc, CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    bool cut = false;
    Ellipsize(hdc, DisplayText(node.name), client.right - VScrollBar::kWidth - TextLeft(node) - 2,
              &cut);
    DeleteObject(SelectObject(hdc, old));
    DeleteDC(hdc);
    if (!cut) return;
    tipText_ = DisplayText(node.path);
    info.lpszText = tipText_.c_str();
}

LRESULT CFolderView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (message >= WM_MOUSEMOVE && message <= WM_RBUTTONUP && IsWindow(&pathTip_))
        pathTip_.RelayEvent(MSG{this, message, wParam, lParam, 0});
    switch (message) {
        case WM_CREATE:
            watch_.Start(this, WM_FOLDERTREE_WATCH);
            pathTip_.Create(this);
            pathTip_.AddTool(this);
            pathTip_.SetMaxTipWidth(600);
            return 0;
        case WM_FOLDERTREE_WATCH:
            OnFoldersChanged();
            return 0;
        case WM_DESTROY:
            watch_.Stop();
            if (IsWindow(&pathTip_)) pathTip_.DestroyWindow();
            return CWnd::WindowProc(message, wParam, lParam);
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header && header->code == TTN_GETDISPINFO)
                AnswerTip(*reinterpret_cast<NMTTDISPINFO*>(lParam));
            return 0;
        }
        case WM_SIZE:
            Rebuild();
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            focused_ = message == WM_SETFOCUS;
            InvalidateRect(this, nullptr);
            return 0;
        case WM_KEYDOWN:
            OnKey(wParam);
            return 0;
        case WM_LBUTTONDOWN:
            OnPress(p, false);
            return 0;
        case WM_LBUTTONDBLCLK:
            OnPress(p, true);
            return 0;
        case WM_MOUSEMOVE:
            OnMove(p);
            return 0;
        case WM_LBUTTONUP:
            if (bar_.Dragging()) ReleaseCapture();
            bar_.Release();
            InvalidateRect(this, nullptr);
            return 0;
        case WM_MOUSEWHEEL:
            if (bar_.ScrollBy(-static_cast<short>(HIWORD(wParam)) * kWheelRows * kRowHeight /
                              WHEEL_DELTA))
                InvalidateRect(this, nullptr);
            return 0;
        default:
            return CWnd::WindowProc(message, wParam, lParam);
    }
}
