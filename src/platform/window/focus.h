// Keyboard focus, mouse capture and the active window. One user-interface thread
// holds windows in this program, so these are kept per process.
#pragma once

#include "window.h"

// Sends WM_KILLFOCUS to the old and WM_SETFOCUS to the new window; returns the old one.
HWND SetFocus(HWND window);
HWND GetFocus();
HWND SetCapture(HWND window);
bool ReleaseCapture();
HWND GetCapture();
// Sends WM_ACTIVATE (WA_INACTIVE) to the old and WM_ACTIVATE with `how` to the new
// top-level window; returns the old one.
HWND SetActiveWindow(HWND window, WPARAM how = WA_ACTIVE);
HWND GetActiveWindow();
// Restores the top-level window when minimised, activates it and has the back
// end bring it above the desktop's other windows.
void SetForegroundWindow(HWND window);

// Drops every reference to a window that is being destroyed.
void ForgetFocusOf(HWND window);
