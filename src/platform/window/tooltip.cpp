#include "tooltip.h"

#include <algorithm>
#include <cstring>

#include "paint.h"
#include "platform/gdi/gdi.h"

namespace {

constexpr UINT_PTR kInitialTimer = 1;
constexpr UINT_PTR kAutoPopTimer = 2;
constexpr int kPadding = 4;
constexpr COLORREF kTipBackground = RGB(255, 255, 225);
constexpr COLORREF kTipBorder = RGB(118, 118, 118);

// How many dialogs and menus of this thread are open over the tips.
thread_local int t_hiddenBy = 0;

HFONT TipFont() {
    return CreateFont(-12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
}

bool IsPress(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_LBUTTONDBLCLK ||
           message == WM_LBUTTONUP || message == WM_RBUTTONUP;
}

}  // namespace

bool CToolTipCtrl::Create(CWnd* owner) {
    owner_ = owner;
    return CreateEx(nullptr, RECT{0, 0, 1, 1}, "", 0, WS_POPUP);
}

void CToolTipCtrl::AddTool(CWnd* tool) {
    if (tool && std::find(tools_.begin(), tools_.end(), tool) == tools_.end())
        tools_.push_back(tool);
}

void CToolTipCtrl::SetDelayTime(DWORD which, UINT ms) {
    if (which == TTDT_AUTOPOP) autoPopMs_ = ms;
    if (which == TTDT_INITIAL) initialMs_ = ms;
}

CWnd* CToolTipCtrl::ToolAt(HWND window) const {
    for (CWnd* w = window; w && IsWindow(w); w = w->GetParent()) {
        if (std::find(tools_.begin(), tools_.end(), w) != tools_.end()) return w;
    }
    return nullptr;
}

void CToolTipCtrl::RelayEvent(const MSG& message) {
    if (!IsWindow(this)) return;
    if (IsPress(message.message)) {
        Pop();
        return;
    }
    if (message.message != WM_MOUSEMOVE) return;
    CWnd* tool = ToolAt(message.hwnd);
    POINT point{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
    if (IsWindow(message.hwnd)) message.hwnd->ClientToScreen(&point);
    pointer_ = point;
    if (tool != current_) Pop();
    current_ = tool;
    if (tool && shown_.empty()) SetTimer(kInitialTimer, initialMs_);
}

void CToolTipCtrl::Pop() {
    KillTimer(kInitialTimer);
    KillTimer(kAutoPopTimer);
    shown_.clear();
    if (IsWindowVisible()) ShowWindow(SW_HIDE);
}

void CToolTipCtrl::ShowTip() {
    if (t_hiddenBy > 0) return;
    if (!current_ || !IsWindow(current_) || !owner_ || !IsWindow(owner_)) return;
    if (!current_->IsWindowVisible()) return;  // a hidden tool has nothing to explain
    NMTTDISPINFO info{};
    info.hdr = NMHDR{this, reinterpret_cast<UINT_PTR>(current_), TTN_GETDISPINFO};
    info.lpszText = info.szText;
    info.uFlags = TTF_IDISHWND;
    owner_->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    shown_ = info.lpszText ? info.lpszText : "";
    if (shown_.empty()) return;
    const SIZE size = Measure(shown_);
    MoveWindow(RECT{pointer_.x, pointer_.y + 20, pointer_.x + size.cx, pointer_.y + 20 + size.cy});
    ShowWindow(SW_SHOW);
    InvalidateRect(this, nullptr);
    SetTimer(kAutoPopTimer, autoPopMs_);
}

SIZE CToolTipCtrl::Measure(const std::string& text) const {
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(hdc, TipFont());
    RECT box{0, 0, maxWidth_ - 2 * kPadding, 0};
    DrawText(hdc, text.c_str(), -1, &box, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    DeleteObject(SelectObject(hdc, old));
    DeleteDC(hdc);
    return SIZE{box.right + 2 * kPadding, box.bottom + 2 * kPadding};
}

void CToolTipCtrl::Paint() {
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(this, &paint);
    if (!hdc) return;
    RECT client;
    GetClientRect(&client);
    HBRUSH border = CreateSolidBrush(kTipBorder);
    HBRUSH fill = CreateSolidBrush(kTipBackground);
    FillRect(hdc, &client, border);
    RECT inner{1, 1, client.right - 1, client.bottom - 1};
    FillRect(hdc, &inner, fill);
    DeleteObject(border);
    DeleteObject(fill);
    HGDIOBJ old = SelectObject(hdc, TipFont());
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(0, 0, 0));
    RECT text{kPadding, kPadding, client.right - kPadding, client.bottom - kPadding};
    DrawText(hdc, shown_.c_str(), -1, &text, DT_WORDBREAK | DT_NOPREFIX);
    DeleteObject(SelectObject(hdc, old));
    EndPaint(this, &paint);
}

LRESULT CToolTipCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            KillTimer(wParam);
            if (wParam == kInitialTimer) ShowTip();
            if (wParam == kAutoPopTimer) Pop();
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_MOUSEMOVE:
            Pop();
            return 0;
        default:
            return CWnd::WindowProc(message, wParam, lParam);
    }
}

TipsHidden::TipsHidden() {
    ++t_hiddenBy;
    PopToolTips();
}

TipsHidden::~TipsHidden() {
    --t_hiddenBy;
}

void PopToolTips() {
    for (HWND window : TopLevelWindows()) {
        if (!IsWindow(window) || window->Queue() != MessageQueue::Current()) continue;
        if (auto* tip = dynamic_cast<CToolTipCtrl*>(window)) tip->Pop();
    }
}
