#include "presenter_window.h"

#include "xlib.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <unistd.h>

#include <algorithm>

#include "caption_strip.h"
#include "key_map.h"
#include "platform/window/focus.h"
#include "platform/window/input.h"
#include "platform/window/paint.h"
#include "platform/window/paint_state.h"
#include "platform/window/trace.h"
#include "shape_rects.h"
#include "surface_view.h"
#include "x11_desktop.h"

namespace {

constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;

RECT ScreenRectOf(CWnd* window) {
    RECT r;
    window->GetWindowRect(&r);
    return r;
}

// Sets a flag for the length of a scope.
struct Flag {
    bool& flag;
    bool old;
    explicit Flag(bool& f) : flag(f), old(f) { flag = true; }
    ~Flag() { flag = old; }
};

}  // namespace

PresenterWindow::PresenterWindow(CWnd* window, DisplayScale scale)
    : Fl_Window(0, 0, 1, 1),
      window_(window),
      scale_(scale),
      captionH_((window->GetStyle() & WS_CAPTION) ? kCaptionHeight : 0) {
    end();
    box(FL_NO_BOX);
    xclass("ostrel");
    // A captioned dialog gets the wizard's title strip, drawn here, not the desktop's.
    border(0);
    // Tips stay out of the window manager's hands: no frame, no focus, no task bar.
    if (!window->TakesActivation()) set_override();
    callback(CloseRequested, this);
    const RECT r = FrameFor(ScreenRectOf(window));
    const int width = std::max<LONG>(r.right - r.left, 1),
              height = std::max<LONG>(r.bottom - r.top, 1);
    Fl_Window::resize(r.left, r.top, width, height);
    // The window system decides the size: the desktop may not resize or maximise.
    size_range(width, height, width, height);
    force_position(1);
}

PresenterWindow::~PresenterWindow() = default;

RECT PresenterWindow::FrameFor(const RECT& place) const {
    return scale_.ToScreen(RECT{place.left, place.top - captionH_, place.right, place.bottom});
}

POINT PresenterWindow::PlaceOf(int screenX, int screenY) const {
    return POINT{scale_.ToWindow(screenX), scale_.ToWindow(screenY) + captionH_};
}

// The close box, or Escape unhandled by anything: Escape belongs to the window
// system's dialogs, the close box asks the window to close.
void PresenterWindow::CloseRequested(Fl_Widget* widget, void*) {
    auto* self = static_cast<PresenterWindow*>(widget);
    if (Fl::event() == FL_SHORTCUT || Fl::event() == FL_KEYDOWN) return;
    if (self->window_ && IsWindow(self->window_)) self->window_->PostMessage(WM_CLOSE);
}

void PresenterWindow::Sync() {
    if (!window_ || !IsWindow(window_)) return;
    Flag syncing(syncing_);
    if (label() == nullptr || window_->Text() != label()) copy_label(window_->Text().c_str());
    SyncIcon();
    SyncGeometry();
    const std::optional<Region>& shape = window_->PaintState().shape;
    if (shape != shape_) {
        shape_ = shape;
        shapeApplied_ = false;
    }
    SyncVisibility();
    if (shown() && !shapeApplied_) ApplyShape();
}

// The shape is the window's own; a strip above it keeps the plain rectangle.
void PresenterWindow::ApplyShape() {
    ApplyWindowShape(fl_display, fl_xid(this), captionH_ ? std::nullopt : shape_,
                     scale_.ToWindow(w()), scale_.ToWindow(h()), scale_.factor);
    shapeApplied_ = true;
}

void PresenterWindow::SyncIcon() {
    HICON icon = window_->GetIcon(true);
    if (!icon) icon = window_->GetIcon(false);
    if (icon == icon_) return;
    icon_ = icon;
    if (!icon_ || icon_->rgba.size() < static_cast<std::size_t>(icon_->width * icon_->height * 4))
        return;
    iconImage_ = std::make_unique<Fl_RGB_Image>(icon_->rgba.data(), icon_->width, icon_->height, 4);
    Fl_Window::icon(iconImage_.get());
}

void PresenterWindow::SyncGeometry() {
    const RECT r = FrameFor(ScreenRectOf(window_));
    const int width = std::max<LONG>(r.right - r.left, 1),
              height = std::max<LONG>(r.bottom - r.top, 1);
    if (r.left == x() && r.top == y() && width == w() && height == h()) return;
    const bool resized = width != w() || height != h();
    if (resized) shapeApplied_ = false;
    requested_.emplace_back(r.left, r.top);
    if (requested_.size() > 32) requested_.pop_front();
    Fl_Window::resize(r.left, r.top, width, height);
    if (resized) size_range(width, height, width, height);
    redraw();
}

void PresenterWindow::SyncVisibility() {
    const bool wantShown = window_->IsWindowVisible();
    const bool wantIconic = window_->IsIconic();
    if (!wantShown) {
        if (shown()) hide();
        return;
    }
    if (!shown()) {
        show();
        AfterShow();
        if (wantIconic) IconifyTopLevel(fl_display, fl_xid(this));
        return;
    }
    if (wantIconic && visible()) {
        IconifyTopLevel(fl_display, fl_xid(this));
        Trace("minimised " + window_->Text());
    } else if (!wantIconic && !visible()) {
        RestoreTopLevel(fl_display, fl_xid(this));
        Trace("restored " + window_->Text());
    }
}

// A new X window: the shape and the owner's process id go on it at once.
void PresenterWindow::AfterShow() {
    shapeApplied_ = false;
    SetWindowPid(fl_display, fl_xid(this), static_cast<long>(getpid()));
    ApplyShape();
    // Without a window manager the map is done once the server has it, and the
    // keyboard stays on the root unless the window takes it.
    if (!HasWindowManager(fl_display) && window_->TakesActivation()) {
        XSync(fl_display, False);
        ActivateTopLevel(fl_display, fl_xid(this));
    }
    const RECT place = ScreenRectOf(window_);
    Trace("shown " + window_->Text() + " at " + std::to_string(place.left) + "," +
          std::to_string(place.top) + " size " + std::to_string(place.right - place.left) + "x" +
          std::to_string(place.bottom - place.top));
}

void PresenterWindow::Damage(const RECT& dirty) {
    const RECT screen = scale_.ToScreen(
        RECT{dirty.left, dirty.top + captionH_, dirty.right, dirty.bottom + captionH_});
    const int left = std::max<LONG>(screen.left, 0), top = std::max<LONG>(screen.top, 0);
    const int right = std::min<LONG>(screen.right, w()),
              bottom = std::min<LONG>(screen.bottom, h());
    if (left >= right || top >= bottom || !shown()) return;
    damage(FL_DAMAGE_USER1, left, top, right - left, bottom - top);
}

// Copies the damaged part of the surface (the clip's box) to the screen, below the
// title strip when there is one.
void PresenterWindow::draw() {
    const SurfacePtr surface = window_ && IsWindow(window_) ? WindowSurface(window_) : nullptr;
    if (!surface) return;
    int X = 0, Y = 0, W = 0, H = 0;
    fl_clip_box(0, 0, w(), h(), X, Y, W, H);
    const RECT area{X, Y, X + W, Y + H};
    const LONG stripH = scale_.ToScreen(captionH_);
    if (stripH > 0 && Y < stripH) {
        Surface strip(w(), stripH);
        PaintCaption(strip, label() ? label() : "", closePressed_, scale_.factor);
        DrawSurface(strip, area, 1);
    }
    pixelsDrawn_ +=
        static_cast<std::uint64_t>(DrawSurface(*surface, area, scale_.factor, POINT{0, stripH}));
    if (stripH > 0) {
        // A line around the dialog sets it off from the page under it.
        fl_color(0x17, 0x3F, 0x75);
        fl_rect(0, 0, w(), h());
    }
}

// The window manager moved the window: the object follows.
void PresenterWindow::resize(int x, int y, int w, int h) {
    const bool moved = x != this->x() || y != this->y();
    Fl_Window::resize(x, y, w, h);
    if (syncing_ || !moved || drag_ || !window_ || !IsWindow(window_)) return;
    if (std::find(requested_.begin(), requested_.end(), std::pair{x, y}) != requested_.end())
        return;
    const RECT r = ScreenRectOf(window_);
    const POINT place = PlaceOf(x, y);
    if (r.left == place.x && r.top == place.y) return;
    window_->MoveWindow(
        RECT{place.x, place.y, place.x + (r.right - r.left), place.y + (r.bottom - r.top)});
}

bool PresenterWindow::TakesInput() const {
    return window_ && IsWindow(window_) && window_->IsWindowEnabled();
}

bool PresenterWindow::TakesActivation() const {
    return window_ && IsWindow(window_) && window_->TakesActivation();
}

bool PresenterWindow::PostMouse(UINT message) {
    if (!TakesInput()) return false;
    WPARAM keys = 0;
    if (Fl::event_state(FL_BUTTON1)) keys |= MK_LBUTTON;
    if (Fl::event_state(FL_BUTTON3)) keys |= MK_RBUTTON;
    if (Fl::event_state(FL_SHIFT)) keys |= MK_SHIFT;
    if (Fl::event_state(FL_CTRL)) keys |= MK_CONTROL;
    return PostMouseEvent(window_, message, PointerInWindow(), keys);
}

POINT PresenterWindow::PointerInWindow() const {
    return POINT{scale_.ToWindow(Fl::event_x()), scale_.ToWindow(Fl::event_y()) - captionH_};
}

bool PresenterWindow::PostKey(bool down) {
    if (!TakesInput() && !KeysGoElsewhere()) return false;
    const KeyTranslation key =
        TranslateKey(Fl::event_key(), Fl::event_text() ? Fl::event_text() : "");
    if (key.virtualKey) PostKeyEvent(down ? WM_KEYDOWN : WM_KEYUP, key.virtualKey);
    if (down && key.character) PostKeyEvent(WM_CHAR, static_cast<WPARAM>(*key.character));
    return key.virtualKey || key.character;
}

// Keys belong to the window system's focus. While this window is disabled under a
// modal dialog the desktop may still hand it the keyboard (a window manager need
// not focus the dialog): they go on to the dialog that has the focus.
bool PresenterWindow::KeysGoElsewhere() const {
    HWND focus = GetFocus();
    if (!IsWindow(focus)) focus = GetActiveWindow();
    HWND top = focus;
    while (top && IsWindow(top) && top->GetParent())
        top = top->GetParent();
    return top && IsWindow(top) && top != window_ && top->IsWindowEnabled() &&
           top->TakesActivation();
}

void PresenterWindow::BeginDrag() {
    if (!shown() || !(Fl::event_state() & FL_BUTTON1)) return;
    int px = 0, py = 0;
    Fl::get_mouse(px, py);
    drag_ = Drag{px, py, x(), y()};
}

// The strip moves the window; its close button asks the window to close, as the
// desktop's close box would.
void PresenterWindow::PressCaption() {
    if (Fl::event_button() != FL_LEFT_MOUSE) return;
    if (CaptionPartAt(w(), Fl::event_x(), Fl::event_y(), scale_.factor) == CaptionPart::kClose) {
        closePressed_ = true;
        damage(FL_DAMAGE_USER1, 0, 0, w(), scale_.ToScreen(captionH_));
        return;
    }
    drag_ = Drag{Fl::event_x_root(), Fl::event_y_root(), x(), y()};
}

void PresenterWindow::ReleaseClose() {
    closePressed_ = false;
    damage(FL_DAMAGE_USER1, 0, 0, w(), scale_.ToScreen(captionH_));
    const bool over =
        CaptionPartAt(w(), Fl::event_x(), Fl::event_y(), scale_.factor) == CaptionPart::kClose;
    if (over && TakesInput()) window_->PostMessage(WM_CLOSE);
}

void PresenterWindow::FollowPointer() {
    if (!window_ || !IsWindow(window_)) return;
    const POINT place = PlaceOf(drag_->windowX + Fl::event_x_root() - drag_->pointerX,
                                drag_->windowY + Fl::event_y_root() - drag_->pointerY);
    const RECT r = ScreenRectOf(window_);
    window_->MoveWindow(
        RECT{place.x, place.y, place.x + (r.right - r.left), place.y + (r.bottom - r.top)});
}

// Mapped again by the desktop (restored from the task bar, or by another
// program): the object is restored too. Without a window manager nobody else
// hands out the keyboard.
void PresenterWindow::OnShowEvent() {
    if (!window_ || !IsWindow(window_)) return;
    if (!shapeApplied_ && shown()) ApplyShape();
    if (window_->IsIconic() && !syncing_) {
        Trace("desktop restored " + window_->Text());
        window_->ShowWindow(SW_RESTORE);
    }
    if (!HasWindowManager(fl_display) && TakesActivation())
        ActivateTopLevel(fl_display, fl_xid(this));
}

// Unmapped by the desktop while the object is shown: the user or another program
// minimised it.
void PresenterWindow::OnHideEvent() {
    if (!window_ || !IsWindow(window_) || syncing_) return;
    if (window_->IsWindowVisible() && !window_->IsIconic()) {
        Trace("desktop minimised " + window_->Text());
        window_->ShowWindow(SW_MINIMIZE);
    }
}

int PresenterWindow::handle(int event) {
    switch (event) {
        case FL_PUSH: {
            if (!HasWindowManager(fl_display) && TakesActivation())
                ActivateTopLevel(fl_display, fl_xid(this));
            if (Fl::event_y() < scale_.ToScreen(captionH_)) {
                PressCaption();
                return 1;
            }
            const int button = Fl::event_button();
            if (button == FL_LEFT_MOUSE)
                PostMouse(Fl::event_clicks() ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN);
            else if (button == FL_RIGHT_MOUSE)
                PostMouse(WM_RBUTTONDOWN);
            return 1;
        }
        case FL_RELEASE:
            if (closePressed_) {
                ReleaseClose();
                return 1;
            }
            if (drag_) {
                drag_.reset();
                return 1;
            }
            PostMouse(Fl::event_button() == FL_RIGHT_MOUSE ? WM_RBUTTONUP : WM_LBUTTONUP);
            return 1;
        case FL_DRAG:
            if (drag_) {
                FollowPointer();
                return 1;
            }
            PostMouse(WM_MOUSEMOVE);
            return 1;
        case FL_MOVE:
            PostMouse(WM_MOUSEMOVE);
            return 1;
        case FL_MOUSEWHEEL:
            // The toolkit counts lines down; the window system counts notches up.
            if (TakesInput() && Fl::event_dy() != 0)
                PostMouseEvent(window_, WM_MOUSEWHEEL, POINT{Fl::event_x(), Fl::event_y()},
                               static_cast<WPARAM>(static_cast<WORD>(-Fl::event_dy() * WHEEL_DELTA))
                                   << 16);
            return 1;
        case FL_ENTER:
        case FL_LEAVE:
            return 1;
        case FL_FOCUS:
            if (window_ && IsWindow(window_) && GetActiveWindow() != window_ && TakesInput() &&
                TakesActivation()) {
                Trace("activated " + window_->Text());
                SetActiveWindow(window_, WA_ACTIVE);
            }
            return 1;
        case FL_UNFOCUS:
            return 1;
        case FL_KEYDOWN:
        case FL_SHORTCUT:
            PostKey(true);
            return 1;  // never left to the toolkit: Escape would close the window
        case FL_KEYUP:
            PostKey(false);
            return 1;
        case FL_SHOW: {
            const int handled = Fl_Window::handle(event);
            OnShowEvent();
            return handled;
        }
        case FL_HIDE: {
            const int handled = Fl_Window::handle(event);
            OnHideEvent();
            return handled;
        }
        default:
            return Fl_Window::handle(event);
    }
}
