#include "selection_frame.h"

#include <algorithm>
#include <cmath>

#include "platform/gdi/gdi.h"
#include "platform/window/cursor.h"
#include "platform/window/paint.h"
#include "stamp/edit_picture.h"

namespace {

LONG Trunc(double value) {
    return static_cast<LONG>(std::trunc(value));
}

// Left and top edges belong to the box, right and bottom ones do not.
bool Inside(const RECT& r, LONG x, LONG y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// One inverted square; the mix mode stays inverting for what follows.
void InvertBox(HDC hdc, const RECT& r) {
    SetROP2(hdc, R2_NOT);
    Rectangle(hdc, r.left, r.top, r.right, r.bottom);
}

// Dashes of 8 pixels every 10 along the band's longer side; the last may overrun.
void DrawDashes(HDC hdc, const RECT& band) {
    const LONG width = band.right - band.left, height = band.bottom - band.top;
    if (width > height) {
        for (LONG k = 0; 10 * k <= width; ++k)
            InvertBox(hdc, RECT{band.left + 10 * k, band.top, band.left + 10 * k + 8, band.bottom});
    } else {
        for (LONG k = 0; 10 * k <= height; ++k)
            InvertBox(hdc, RECT{band.left, band.top + 10 * k, band.right, band.top + 10 * k + 8});
    }
}

}  // namespace

double AspectOf(const RECT& r) {
    if (r.top == r.bottom) return 1000.0;
    return static_cast<double>(r.right - r.left) / (r.bottom - r.top);
}

void CSelectionFrame::Init(CWnd* canvas, const RECT& area) {
    enabled = true;
    ForgetPoint();
    dc = canvas;
    limits = area;
    FitToAspect();
}

void CSelectionFrame::FitToAspect() {
    if (!enabled) return;
    if (AspectOf(limits) > aspect) {
        const LONG cx = (limits.left + limits.right) / 2;
        const double half = (limits.bottom - limits.top) * aspect * 0.5;
        sel = RECT{Trunc(cx - half), limits.top, Trunc(cx + half), limits.bottom};
    } else {
        const LONG cy = (limits.top + limits.bottom) / 2;
        const double half = (limits.right - limits.left) / aspect * 0.5;
        sel = RECT{limits.left, Trunc(cy - half), limits.right, Trunc(cy + half)};
    }
}

void CSelectionFrame::DrawFrame() {
    if (!enabled || !IsWindow(dc)) return;
    HDC hdc = GetDC(dc);
    DrawFrameOn(hdc);
    ReleaseDC(dc, hdc);
}

void CSelectionFrame::DrawFrameOn(HDC hdc) const {
    if (!enabled || !hdc) return;
    SetROP2(hdc, R2_COPYPEN);
    const POINT centres[4] = {{sel.left + kHandleInset, sel.top + kHandleInset},
                              {sel.right - kHandleInset, sel.top + kHandleInset},
                              {sel.left + kHandleInset, sel.bottom - kHandleInset},
                              {sel.right - kHandleInset, sel.bottom - kHandleInset}};
    for (const POINT& c : centres) {
        InvertBox(hdc, RECT{std::max(c.x - 5, limits.left), std::max(c.y - 5, limits.top),
                            std::min(c.x + 5, limits.right), std::min(c.y + 5, limits.bottom)});
    }
    DrawDashes(hdc, RECT{sel.left + 10, sel.top, sel.right - 10, sel.top + 2});
    DrawDashes(hdc, RECT{sel.right - 2, sel.top + 10, sel.right, sel.bottom - 10});
    DrawDashes(hdc, RECT{sel.left + 10, sel.bottom - 2, sel.right - 10, sel.bottom});
    DrawDashes(hdc, RECT{sel.left, sel.top + 10, sel.left + 2, sel.bottom - 10});
}

int CSelectionFrame::OnMouse(UINT flags, LONG x, LONG y, CEditPicture* picture) {
    if (!enabled) return IDC_ARROW;
    if (flags != 0) {
        if (prevMode == kNone) {
            if (HitHandle(x, y) != 0)
                mode = kResizing;
            else
                mode = Inside(sel, x, y) ? kMoving : kOutside;
        } else {
            mode = prevMode;
        }
        if (mode == kMoving || mode == kResizing) {
            if (picture) picture->Draw();
            if (mode == kMoving)
                Move(x, y);
            else
                Resize(x, y);
            DrawFrame();
        }
    } else {
        mode = kNone;
        handle = 0;
    }
    const int cursor = CursorFor(x, y);
    lastX = x;
    lastY = y;
    prevMode = mode;
    return cursor;
}

int CSelectionFrame::CursorFor(LONG x, LONG y) {
    // While resizing, the grabbed handle decides; otherwise the one under the point.
    if (HitHandle(x, y) != 0 || mode == kResizing) {
        if (handle == 1 || handle == 4) return IDC_SIZENWSE;
        if (handle == 2 || handle == 3) return IDC_SIZENESW;
        return IDC_SIZEALL;
    }
    if (Inside(sel, x, y) || mode == kMoving) return IDC_SIZEALL;
    return IDC_ARROW;
}

// While resizing, only reports the hit; otherwise also records the handle and the
// opposite corner. Later handles win on a frame too small to keep them apart.
int CSelectionFrame::HitHandle(LONG x, LONG y) {
    const bool record = mode != kResizing;
    if (record) handle = 0;
    const POINT centres[4] = {{sel.left + kHandleInset, sel.top + kHandleInset},
                              {sel.right - kHandleInset, sel.top + kHandleInset},
                              {sel.left + kHandleInset, sel.bottom - kHandleInset},
                              {sel.right - kHandleInset, sel.bottom - kHandleInset}};
    const POINT anchors[4] = {
        {sel.right, sel.bottom}, {sel.left, sel.bottom}, {sel.right, sel.top}, {sel.left, sel.top}};
    int hit = 0;
    for (int i = 0; i < 4; ++i) {
        const RECT box{centres[i].x - kHandleReach, centres[i].y - kHandleReach,
                       centres[i].x + kHandleReach, centres[i].y + kHandleReach};
        if (!Inside(box, x, y)) continue;
        hit = i + 1;
        if (record) {
            handle = hit;
            anchorX = anchors[i].x;
            anchorY = anchors[i].y;
        }
    }
    return hit;
}

void CSelectionFrame::Move(LONG x, LONG y) {
    const bool fresh = lastX == 0 && lastY == 0;
    const LONG dx = fresh ? 0 : x - lastX, dy = fresh ? 0 : y - lastY;
    sel = RECT{sel.left + dx, sel.top + dy, sel.right + dx, sel.bottom + dy};
    KeepInside();
}

void CSelectionFrame::KeepInside() {
    LONG cx = 0, cy = 0;
    if (sel.left < limits.left)
        cx = limits.left - sel.left;
    else if (sel.right > limits.right)
        cx = limits.right - sel.right;
    if (sel.top < limits.top)
        cy = limits.top - sel.top;
    else if (sel.bottom > limits.bottom)
        cy = limits.bottom - sel.bottom;
    sel = RECT{sel.left + cx, sel.top + cy, sel.right + cx, sel.bottom + cy};
}

// The anchor stays; the pointer is held inside the limits and at least 40 pixels
// from the anchor, and the side that is too long for the aspect gives way.
void CSelectionFrame::Resize(LONG x, LONG y) {
    const LONG ax = anchorX, ay = anchorY;
    const bool left = handle == 1 || handle == 3, top = handle == 1 || handle == 2;
    if (handle < 1 || handle > 4) return;
    x = left ? std::max(x, limits.left) : std::min(x, limits.right);
    y = top ? std::max(y, limits.top) : std::min(y, limits.bottom);
    x = left ? std::min(x, ax - kMinSide) : std::max(x, ax + kMinSide);
    y = top ? std::min(y, ay - kMinSide) : std::max(y, ay + kMinSide);
    RECT c{left ? x : ax, top ? y : ay, left ? ax : x, top ? ay : y};
    const LONG spanX = left ? ax - x : x - ax, spanY = top ? ay - y : y - ay;
    if (AspectOf(c) > aspect) {
        const LONG side = Trunc(left ? ax - spanY * aspect : spanY * aspect + ax);
        (left ? c.left : c.right) = side;
    } else {
        const LONG side = Trunc(top ? ay - spanX / aspect : spanX / aspect + ay);
        (top ? c.top : c.bottom) = side;
    }
    sel = c;
}

bool CSelectionFrame::Nudge(LONG dx, LONG dy) {
    if (!enabled) return false;
    const RECT before = sel;
    sel = RECT{sel.left + dx, sel.top + dy, sel.right + dx, sel.bottom + dy};
    KeepInside();
    return sel.left != before.left || sel.top != before.top;
}

bool CSelectionFrame::Grow(LONG by) {
    if (!enabled) return false;
    const LONG half = by / 2;
    const RECT grown{sel.left - half, sel.top - half, sel.right + (by - half),
                     sel.bottom + (by - half)};
    const LONG width = grown.right - grown.left, height = grown.bottom - grown.top;
    if (by == 0 || std::min(width, height) < kMinSide || width > limits.right - limits.left ||
        height > limits.bottom - limits.top)
        return false;
    sel = grown;
    KeepInside();
    return true;
}
