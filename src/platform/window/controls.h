// The standard controls dialog templates name: "Static" text and push "Button"s,
// drawn in the dialog font ("MS Shell Dlg" 8) on the dialog colour.
#pragma once

#include "window.h"

constexpr COLORREF kDialogColor = RGB(240, 240, 240);

class CStatic : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A click (press and release over it) sends WM_COMMAND with its identifier to its parent.
class CButton : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint();
    bool pressed_ = false;
};
