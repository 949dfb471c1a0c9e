// Dialogs: a window built from a dialog template, with the handlers the wizard's
// dialogs override. Enter and Escape pressed anywhere inside a dialog reach its
// nearest dialog as OnOK and OnCancel; Tab and Shift+Tab move the focus round its
// tab stops.
#pragma once

#include <optional>

#include "platform/gdi/gdi_types.h"
#include "window.h"

constexpr DWORD DS_CENTER = 0x0800;

class CDialog : public CWnd {
public:
    CDialog(int templateId, CWnd* parent);

    // Modeless: creates the dialog and its controls and runs OnInitDialog.
    bool Create(int templateId, CWnd* parent);
    // Creates the dialog, disables its owner, and dispatches messages until
    // EndDialog; returns the result given to EndDialog (-1 when it could not run).
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);
    bool IsModal() const { return modal_; }

    int TemplateId() const { return templateId_; }
    // The window that owns this dialog (its parent, or the owner of a modal one).
    CWnd* Owner() const { return owner_; }

    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    virtual void OnShowWindow(bool /*show*/, UINT /*status*/) {}
    virtual void OnPaint();
    virtual void OnTimer(UINT_PTR /*id*/) {}
    virtual void OnLButtonDown(UINT /*flags*/, POINT /*point*/) {}
    virtual void OnLButtonUp(UINT /*flags*/, POINT /*point*/) {}
    virtual void OnLButtonDblClk(UINT /*flags*/, POINT /*point*/) {}
    virtual void OnRButtonDown(UINT /*flags*/, POINT /*point*/) {}
    virtual void OnMouseMove(UINT /*flags*/, POINT /*point*/) {}
    // Keys the dialog keys leave, while the dialog has the focus.
    virtual void OnKeyDown(UINT /*key*/) {}
    virtual void OnChar(UINT /*character*/) {}
    // Returns true when the command was handled.
    virtual bool OnCommand(WPARAM id, LPARAM lParam);
    virtual void OnSysCommand(WPARAM id, LPARAM lParam) {
        DefWindowProc(WM_SYSCOMMAND, id, lParam);
    }
    virtual void OnActivate(UINT /*state*/, CWnd* /*other*/) {}

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The dialog keys: Enter, Escape and Tab. True when consumed.
    bool PreTranslateKey(const MSG& message);
    // Every message for the dialog or a window inside it, before it is dispatched;
    // the default handles the dialog keys. True when consumed.
    virtual bool PreTranslateMessage(const MSG& message) { return PreTranslateKey(message); }

protected:
    // Fills the client area with the dialog colour.
    void PaintBackground(HDC hdc);

    // The window object for a control of the template. A dialog returns its own
    // member (the page's player, say) for the controls it binds; the default
    // makes a plain window the dialog owns.
    virtual CWnd* CreateControlObject(const struct ControlTemplate& control);

private:
    bool IsSelfOrInside(CWnd* window) const;
    bool Build(const struct DialogTemplate& dialog, CWnd* parent);

    int templateId_;
    CWnd* owner_;
    std::vector<std::unique_ptr<CWnd>> ownedControls_;
    bool modal_ = false;
    std::optional<INT_PTR> modalResult_;
};

// The nearest dialog at or above the window, or null.
CDialog* DialogOf(CWnd* window);
// Gives the nearest dialog the message first; true when it was consumed.
bool PreTranslateMessage(const MSG& message);
