// The x11 back end: every top-level window is a real window on the X display,
// presented through the toolkit, at the display scale the desktop asks for;
// message boxes and pop-up menus are drawn in the wizard's look, the Save-As
// dialog is the desktop's; other programs' windows are found by title, and files
// dragged from them are dropped on the window under the pointer. Time is
// real and the user-interface thread waits in the toolkit's event loop.
#pragma once

#include <X11/Xlib.h>

#include <map>
#include <memory>

#include "display_scale.h"
#include "platform/window/window_backend.h"

class FltkClock;
class PresenterWindow;
class X11ForeignFinder;
class XdndTarget;

class X11Backend : public WindowBackend {
public:
    // Whether a display can be opened ($DISPLAY).
    static bool DisplayAvailable();

    // Opens the display and installs itself, the clock and the handlers. The
    // calling thread is the user-interface thread.
    X11Backend();
    ~X11Backend() override;
    X11Backend(const X11Backend&) = delete;
    X11Backend& operator=(const X11Backend&) = delete;

    void TopLevelChanged(CWnd* window) override;
    void TopLevelDestroyed(CWnd* window) override;
    void Present(CWnd* window, const RECT& dirty) override;
    RECT ScreenRect() const override;
    void BeginCaptionDrag(CWnd* window) override;
    void BringToFront(CWnd* window) override;
    // Every real window of ours shows the cursor; the pointer is over one at most.
    void CursorChanged(int id) override;

    // The real window of a top-level window (null when it has none).
    PresenterWindow* PresenterOf(CWnd* window) const;
    // The X window of a window of this process or another's, 0 when none.
    Window XidOf(CWnd* window) const;
    // How many screen pixels show one pixel of the window system.
    const DisplayScale& Scale() const { return scale_; }

private:
    void ActivateAfterClose();

    DisplayScale scale_;
    std::shared_ptr<FltkClock> clock_;
    std::map<CWnd*, PresenterWindow*> presenters_;
    std::unique_ptr<X11ForeignFinder> finder_;
    std::unique_ptr<XdndTarget> xdnd_;
};
