// What the window system tells the back end that shows top-level windows (a real
// X11 window each, or nothing at all in headless runs).
#pragma once

#include "platform/base/win_types.h"

class CWnd;

class WindowBackend {
public:
    virtual ~WindowBackend() = default;
    // Created, shown, hidden, moved, resized, minimised, restored, reshaped,
    // retitled or given a new icon.
    virtual void TopLevelChanged(CWnd* /*window*/) {}
    virtual void TopLevelDestroyed(CWnd* /*window*/) {}
    // Pixels of the window's surface changed inside `dirty` (window coordinates).
    virtual void Present(CWnd* /*window*/, const RECT& /*dirty*/) {}
    // Where top-level windows can be placed.
    virtual RECT ScreenRect() const { return RECT{0, 0, 1280, 1024}; }
    // The user pressed the window's caption (WM_NCLBUTTONDOWN with HTCAPTION): the
    // window follows the pointer until the button is released.
    virtual void BeginCaptionDrag(CWnd* /*window*/) {}
    // The shown top-level window comes above the others and takes the keyboard.
    virtual void BringToFront(CWnd* /*window*/) {}
    // The current cursor became the standard cursor `id` (cursor.h).
    virtual void CursorChanged(int /*id*/) {}
};

// The back end in use (null: none). The caller keeps it alive while installed.
void SetWindowBackend(WindowBackend* backend);
WindowBackend* GetWindowBackend();
