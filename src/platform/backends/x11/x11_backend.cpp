#include "x11_backend.h"

#include "xlib.h"

#include <FL/Fl.H>

#include <chrono>
#include <cstdlib>

#include "cursor_map.h"
#include "desktop_save_as.h"
#include "fltk_clock.h"
#include "fltk_dialogs.h"
#include "platform/window/file_dialog.h"
#include "platform/window/focus.h"
#include "platform/window/menu.h"
#include "platform/window/message_box.h"
#include "platform/window/trace.h"
#include "presenter_window.h"
#include "x11_desktop.h"
#include "x11_foreign.h"
#include "xdnd_target.h"

namespace {

// How long painted pixels may wait for the loop to go idle before they are shown.
constexpr auto kMaxFlushDelay = std::chrono::milliseconds(40);

// What the desktop asks for: the environment, else the font resolution it set.
DisplayScale DesktopScale(Display* display) {
    const char* resources = XResourceManagerString(display);
    const int factor = ChooseScale(std::getenv("OSTREL_SCALE"), std::getenv("GDK_SCALE"),
                                   resources ? XftDpiOf(resources) : std::nullopt);
    return DisplayScale{factor};
}

HWND TopLevelOf(HWND window) {
    while (window && window->GetParent())
        window = window->GetParent();
    return window;
}

}  // namespace

bool X11Backend::DisplayAvailable() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return false;
    Display* display = XOpenDisplay(name);
    if (!display) return false;
    XCloseDisplay(display);
    return true;
}

X11Backend::X11Backend() {
    Fl::lock();  // lets other threads wake the loop with Fl::awake
    fl_open_display();
    Fl::visual(FL_RGB);
    scale_ = DesktopScale(fl_display);
    Trace("display scale " + std::to_string(scale_.factor));
    clock_ = std::make_shared<FltkClock>();
    finder_ = std::make_unique<X11ForeignFinder>(fl_display);
    SetClock(clock_);
    SetWindowBackend(this);
    SetMessageBoxHandler(
        [this](CWnd* owner, const std::string& text, const std::string& caption, UINT style) {
            return ShowFltkMessageBox(*this, owner, text, caption, style);
        });
    SetMenuHandler(
        [this](const CMenu& menu, POINT at, CWnd*) { return ShowFltkPopupMenu(menu, at, scale_); });
    SetSaveAsHandler(
        [this](const SaveAsRequest& request) { return ShowDesktopSaveAs(*this, request); });
    SetForeignWindowFinder([this](const std::string& title) { return finder_->Find(title); });
    xdnd_ = std::make_unique<XdndTarget>(fl_display, [this](Window xid) -> CWnd* {
        for (const auto& [window, presenter] : presenters_)
            if (presenter->shown() && fl_xid(presenter) == xid) return presenter->Object();
        return nullptr;
    });
}

X11Backend::~X11Backend() {
    xdnd_.reset();
    SetForeignWindowFinder(nullptr);
    SetSaveAsHandler(nullptr);
    SetMenuHandler(nullptr);
    SetMessageBoxHandler(nullptr);
    for (auto& [window, presenter] : presenters_) {
        presenter->Detach();
        delete presenter;
    }
    presenters_.clear();
    if (GetWindowBackend() == this) SetWindowBackend(nullptr);
    SetClock(nullptr);
    Fl::unlock();
}

PresenterWindow* X11Backend::PresenterOf(CWnd* window) const {
    const auto it = presenters_.find(window);
    return it == presenters_.end() ? nullptr : it->second;
}

Window X11Backend::XidOf(CWnd* window) const {
    if (auto* foreign = dynamic_cast<X11ForeignWindow*>(window)) return foreign->Xid();
    PresenterWindow* presenter = PresenterOf(TopLevelOf(window));
    return presenter && presenter->shown() ? fl_xid(presenter) : 0;
}

void X11Backend::TopLevelChanged(CWnd* window) {
    PresenterWindow*& presenter = presenters_[window];
    if (!presenter) presenter = new PresenterWindow(window, scale_);
    const bool wasShown = presenter->shown();
    presenter->Sync();
    if (!wasShown && presenter->shown()) xdnd_->MarkAware(fl_xid(presenter));
    if (wasShown && !presenter->shown()) ActivateAfterClose();
}

void X11Backend::TopLevelDestroyed(CWnd* window) {
    const auto it = presenters_.find(window);
    if (it == presenters_.end()) return;
    PresenterWindow* presenter = it->second;
    presenters_.erase(it);
    presenter->Detach();
    presenter->hide();
    // Deleted once the toolkit is done with the event that may be running.
    Fl::delete_widget(presenter);
    ActivateAfterClose();
}

// Without a window manager nobody hands the keyboard back when a window goes.
void X11Backend::ActivateAfterClose() {
    if (HasWindowManager(fl_display)) return;
    PresenterWindow* active = PresenterOf(GetActiveWindow());
    if (active && active->shown() && active->visible())
        ActivateTopLevel(fl_display, fl_xid(active));
}

void X11Backend::Present(CWnd* window, const RECT& dirty) {
    PresenterWindow* presenter = PresenterOf(window);
    if (!presenter) return;
    presenter->Damage(dirty);
    // A busy loop still shows its pixels now and then.
    static auto lastFlush = std::chrono::steady_clock::now();
    const auto now = std::chrono::steady_clock::now();
    if (now - lastFlush >= kMaxFlushDelay) {
        lastFlush = now;
        Fl::flush();
    }
}

RECT X11Backend::ScreenRect() const {
    int x = 0, y = 0, w = 0, h = 0;
    Fl::screen_work_area(x, y, w, h, 0);
    return RECT{scale_.ToWindow(x), scale_.ToWindow(y), scale_.ToWindow(x + w),
                scale_.ToWindow(y + h)};
}

void X11Backend::BeginCaptionDrag(CWnd* window) {
    if (PresenterWindow* presenter = PresenterOf(TopLevelOf(window))) presenter->BeginDrag();
}

void X11Backend::BringToFront(CWnd* window) {
    PresenterWindow* presenter = PresenterOf(window);
    if (presenter && presenter->shown() && presenter->visible())
        RestoreTopLevel(fl_display, fl_xid(presenter));
}

void X11Backend::CursorChanged(int id) {
    for (const auto& [window, presenter] : presenters_) {
        if (presenter->shown() && IsWindow(window) && window->TakesActivation())
            presenter->cursor(ToolkitCursor(id));
    }
    Trace("cursor " + std::to_string(id));
}
