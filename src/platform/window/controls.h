// The standard controls dialog templates name: "Static" text or icon and push
// "Button"s. Inside a captioned dialog (the About box) they take the wizard's look;
// elsewhere they draw in the dialog font ("MS Shell Dlg" 8) on the dialog colour.
#pragma once

#include "window.h"

constexpr COLORREF kDialogColor = RGB(240, 240, 240);

// A static control showing the icon resource its text names ("#128" or "128").
constexpr DWORD SS_ICON = 0x00000003;
// The push button Enter presses: drawn blue.
constexpr DWORD BS_DEFPUSHBUTTON = 0x00000001;

// What a dialog shows where nothing else is drawn.
COLORREF DialogBackground(const CWnd* window);

class CStatic : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint();
};

// A click (press and release over it) sends WM_COMMAND with its identifier to its parent.
class CButton : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint();
    bool pressed_ = false;
};
