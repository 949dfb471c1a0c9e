// CSelectionFrame: the square rubber-band frame on the editor's picture. It keeps
// its aspect, never leaves its limits (the picture's drawn area), moves when its
// inside is dragged and resizes from its four corner handles down to 40 pixels.
// It is drawn by inverting the page's pixels and erased by redrawing the picture.
#pragma once

#include "platform/gdi/gdi_types.h"
#include "platform/window/window.h"

class CEditPicture;

class CSelectionFrame {
public:
    enum Mode { kNone = 0, kOutside = 1, kMoving = 2, kResizing = 3 };
    static constexpr LONG kMinSide = 40;
    static constexpr LONG kHandleReach = 8;  // a handle is hit this far from its centre
    static constexpr LONG kHandleInset = 4;  // handle centres lie this far inside the corners

    // Enables the frame on the window it draws on, forgets the last point and
    // centres the largest frame of the current aspect in limits.
    void Init(CWnd* canvas, const RECT& limits);
    void FitToAspect();
    void ForgetPoint() { lastX = lastY = 0; }
    // Inverts the handles and the dashed border on the canvas.
    void DrawFrame();
    void DrawFrameOn(HDC hdc) const;
    // A mouse move with its key state: starts, continues or ends a drag; redraws
    // picture (when given) before each change. Returns the cursor to show.
    int OnMouse(UINT flags, LONG x, LONG y, CEditPicture* picture);
    // The keyboard's moves: by (dx, dy), stopping at the limits; and by `by`
    // pixels wider and higher (less when negative) about the centre, refused
    // below the smallest side or beyond the limits' size, and moved back inside
    // the limits where it reaches out. True when the frame changed.
    bool Nudge(LONG dx, LONG dy);
    bool Grow(LONG by);

    bool enabled = false;
    CWnd* dc = nullptr;  // the window whose device context the frame is drawn on
    RECT limits{};
    double aspect = 1.0;
    RECT sel{};
    LONG lastX = 0, lastY = 0;
    int mode = kNone;
    int prevMode = kNone;
    int handle = 0;
    LONG anchorX = 0, anchorY = 0;

private:
    int HitHandle(LONG x, LONG y);
    void Move(LONG x, LONG y);
    void KeepInside();
    void Resize(LONG x, LONG y);
    int CursorFor(LONG x, LONG y);
};

// Width / height; 1000 for a rectangle without height.
double AspectOf(const RECT& r);
