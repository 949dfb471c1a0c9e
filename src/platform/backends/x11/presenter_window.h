// The real window of one top-level window: a toolkit window that shows the
// window's surface, is shaped by its region, and hands the user's mouse, keys and
// activation to the window system. Position, size, visibility, minimised state,
// title and icon follow the window object (Sync); what the desktop does to the
// real window (a minimise from the task bar, a restore by another program, a move
// by the window manager) goes back to the object. At a display scale of 2 or more
// every pixel of the window is shown as a square of screen pixels and the pointer
// is mapped back, so the window system sees the window as at one pixel per pixel.
#pragma once

#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>

#include "display_scale.h"
#include "platform/gdi/region.h"
#include "platform/window/window.h"

class PresenterWindow : public Fl_Window {
public:
    PresenterWindow(CWnd* window, DisplayScale scale);
    ~PresenterWindow() override;

    CWnd* Object() const { return window_; }
    // The window object is going away: nothing reaches it any more.
    void Detach() { window_ = nullptr; }

    void Sync();
    // Pixels of the surface changed inside `dirty` (window coordinates).
    void Damage(const RECT& dirty);
    // The window follows the pointer until the left button is released.
    void BeginDrag();

    // Screen pixels drawn from the surface so far.
    std::uint64_t PixelsDrawn() const { return pixelsDrawn_; }

    int handle(int event) override;
    void draw() override;
    void resize(int x, int y, int w, int h) override;

private:
    void SyncGeometry();
    void SyncVisibility();
    void SyncIcon();
    void ApplyShape();
    // The real window's place on the screen for the object's rectangle: scaled, with
    // the title strip above a captioned window; and the object's place back from it.
    RECT FrameFor(const RECT& place) const;
    POINT PlaceOf(int screenX, int screenY) const;
    // Where the window's own pixel under the pointer is.
    POINT PointerInWindow() const;
    void AfterShow();
    bool TakesInput() const;
    bool TakesActivation() const;
    bool PostMouse(UINT message);
    bool PostKey(bool down);
    bool KeysGoElsewhere() const;
    void FollowPointer();
    void PressCaption();
    void ReleaseClose();
    void OnShowEvent();
    void OnHideEvent();
    static void CloseRequested(Fl_Widget* widget, void* data);

    CWnd* window_;
    DisplayScale scale_;
    int captionH_;  // the title strip's height in the window's pixels; 0: none
    bool closePressed_ = false;
    std::optional<Region> shape_;
    bool shapeApplied_ = false;
    HICON icon_;
    std::unique_ptr<Fl_RGB_Image> iconImage_;
    struct Drag {
        int pointerX, pointerY, windowX, windowY;
    };
    std::optional<Drag> drag_;
    // Positions this side asked for lately: the desktop's reports of them are echoes,
    // not moves of its own.
    std::deque<std::pair<int, int>> requested_;
    bool syncing_ = false;
    std::uint64_t pixelsDrawn_ = 0;
};
