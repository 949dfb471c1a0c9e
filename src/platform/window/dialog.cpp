#include "dialog.h"

#include "controls.h"
#include "dialog_template.h"
#include "focus.h"
#include "key_state.h"
#include "message_loop.h"
#include "paint.h"
#include "platform/gdi/gdi.h"
#include "tab_order.h"
#include "tooltip.h"
#include "window_backend.h"

CDialog::CDialog(int templateId, CWnd* parent) : templateId_(templateId), owner_(parent) {}

bool CDialog::Create(int templateId, CWnd* parent) {
    const DialogTemplate* dialog = FindDialogTemplate(templateId);
    if (!dialog) return false;
    templateId_ = templateId;
    owner_ = parent;
    return Build(*dialog, (dialog->style & WS_CHILD) ? parent : nullptr);
}

// A top-level dialog with DS_CENTER sits in the middle of the screen; a child
// dialog at its template position inside its parent.
bool CDialog::Build(const DialogTemplate& dialog, CWnd* parent) {
    RECT rect = DialogUnitsToPixels(dialog.rect);
    if (!parent && (dialog.style & DS_CENTER)) {
        const RECT screen =
            GetWindowBackend() ? GetWindowBackend()->ScreenRect() : RECT{0, 0, 1280, 1024};
        const LONG w = rect.right - rect.left, h = rect.bottom - rect.top;
        rect.left = screen.left + (screen.right - screen.left - w) / 2;
        rect.top = screen.top + (screen.bottom - screen.top - h) / 2;
        rect.right = rect.left + w;
        rect.bottom = rect.top + h;
    }
    if (!CreateEx(parent, rect, dialog.title, dialog.id, dialog.style & ~WS_VISIBLE)) return false;
    for (const ControlTemplate& control : dialog.controls) {
        CWnd* object = CreateControlObject(control);
        object->CreateEx(this, DialogUnitsToPixels(control.rect), control.text, control.id,
                         control.style | WS_CHILD);
    }
    SendMessage(WM_INITDIALOG);
    if (dialog.style & WS_VISIBLE) ShowWindow(SW_SHOW);
    return true;
}

CWnd* CDialog::CreateControlObject(const ControlTemplate& control) {
    if (control.className == "Static")
        ownedControls_.push_back(std::make_unique<CStatic>());
    else if (control.className == "Button")
        ownedControls_.push_back(std::make_unique<CButton>());
    else
        ownedControls_.push_back(std::make_unique<CWnd>());
    return ownedControls_.back().get();
}

INT_PTR CDialog::DoModal() {
    const DialogTemplate* dialog = FindDialogTemplate(templateId_);
    if (!dialog) return -1;
    modal_ = true;
    modalResult_.reset();
    CWnd* owner = IsWindow(owner_) ? owner_ : nullptr;
    // Keys go to the dialog while it runs, and back where they went before after it.
    CWnd* focusBefore = GetFocus();
    if (!Build(*dialog, nullptr)) return -1;
    const TipsHidden hidden;  // a tip would cover the dialog
    if (owner) owner->EnableWindow(false);
    ShowWindow(SW_SHOW);
    SetActiveWindow(this);
    // The focus the dialog gave a window of its own while it was made stays there.
    if (!IsSelfOrInside(GetFocus())) SetFocus(this);
    const bool ended = modalResult_ || RunLoopUntil([this] { return modalResult_.has_value(); });
    if (owner && IsWindow(owner)) owner->EnableWindow(true);
    DestroyWindow();
    modal_ = false;
    if (owner && IsWindow(owner)) SetActiveWindow(owner);
    if (IsWindow(focusBefore)) SetFocus(focusBefore);
    return ended ? *modalResult_ : -1;
}

void CDialog::EndDialog(INT_PTR result) {
    if (modal_)
        modalResult_ = result;
    else
        ShowWindow(SW_HIDE);
}

// A dialog shows the dialog colour where nothing else is drawn.
void CDialog::OnPaint() {
    PAINTSTRUCT paint;
    PaintBackground(BeginPaint(this, &paint));
    EndPaint(this, &paint);
}

void CDialog::PaintBackground(HDC hdc) {
    RECT client;
    GetClientRect(&client);
    HBRUSH brush = CreateSolidBrush(DialogBackground(this));
    FillRect(hdc, &client, brush);
    DeleteObject(brush);
}

bool CDialog::OnCommand(WPARAM id, LPARAM /*lParam*/) {
    switch (LOWORD(id)) {
        case IDOK:
            OnOK();
            return true;
        case IDCANCEL:
            OnCancel();
            return true;
        default:
            return false;
    }
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const UINT flags = static_cast<UINT>(wParam);
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog() ? 1 : 0;
        case WM_COMMAND:
            return OnCommand(wParam, lParam) ? 0 : DefWindowProc(message, wParam, lParam);
        case WM_SYSCOMMAND:
            OnSysCommand(wParam, lParam);
            return 0;
        case WM_CLOSE:
            OnCancel();
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_SHOWWINDOW:
            OnShowWindow(wParam != 0, static_cast<UINT>(lParam));
            return 0;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam), reinterpret_cast<CWnd*>(lParam));
            return 0;
        case WM_LBUTTONDOWN:
            OnLButtonDown(flags, point);
            return 0;
        case WM_LBUTTONUP:
            OnLButtonUp(flags, point);
            return 0;
        case WM_LBUTTONDBLCLK:
            OnLButtonDblClk(flags, point);
            return 0;
        case WM_RBUTTONDOWN:
            OnRButtonDown(flags, point);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(flags, point);
            return 0;
        case WM_KEYDOWN:
            OnKeyDown(static_cast<UINT>(wParam));
            return 0;
        case WM_CHAR:
            OnChar(static_cast<UINT>(wParam));
            return 0;
        default:
            return DefWindowProc(message, wParam, lParam);
    }
}

bool CDialog::PreTranslateKey(const MSG& message) {
    if (message.message != WM_KEYDOWN) return false;
    if (message.wParam == VK_RETURN) {
        SendMessage(WM_COMMAND, IDOK);
        return true;
    }
    if (message.wParam == VK_ESCAPE) {
        SendMessage(WM_COMMAND, IDCANCEL);
        return true;
    }
    if (message.wParam == VK_TAB) {
        if (HWND next = NextTabStop(this, GetFocus(), IsKeyDown(VK_SHIFT))) SetFocus(next);
        return true;
    }
    return false;
}

bool CDialog::IsSelfOrInside(CWnd* window) const {
    for (CWnd* w = window; w && IsWindow(w); w = w->GetParent())
        if (w == this) return true;
    return false;
}

CDialog* DialogOf(CWnd* window) {
    for (CWnd* w = window; w && IsWindow(w); w = w->GetParent()) {
        if (auto* dialog = dynamic_cast<CDialog*>(w)) return dialog;
    }
    return nullptr;
}

bool PreTranslateMessage(const MSG& message) {
    CDialog* dialog = DialogOf(message.hwnd);
    return dialog && dialog->PreTranslateMessage(message);
}
