#include "paint.h"

#include <algorithm>
#include <vector>

#include "paint_state.h"
#include "platform/gdi/gdi_dc.h"
#include "platform/gdi/gdi_region.h"
#include "window_backend.h"

namespace {

WindowBackend* g_backend = nullptr;

HWND TopLevelOf(HWND window) {
    while (window->GetParent())
        window = window->GetParent();
    return window;
}

RECT ClientRect(HWND window) {
    RECT r;
    window->GetClientRect(&r);
    return r;
}

RECT Offset(RECT r, POINT by) {
    return RECT{r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y};
}

bool Intersects(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// A region handle holding the region's rectangles.
HRGN ToHandle(const Region& region) {
    HRGN handle = CreateRectRgn(0, 0, 0, 0);
    for (const RECT& r : region.Rects()) {
        HRGN piece = CreateRectRgnIndirect(&r);
        CombineRgn(handle, handle, piece, RGN_OR);
        DeleteObject(piece);
    }
    return handle;
}

Region FromHandle(HRGN handle) {
    const DWORD size = GetRegionData(handle, 0, nullptr);
    if (size < sizeof(RGNDATAHEADER)) return Region();
    std::vector<BYTE> bytes(size);
    auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
    if (GetRegionData(handle, size, data) != size) return Region();
    const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
    return Region::FromRects({rects, data->rdh.nCount});
}

// Siblings created later lie above a window, over it and over its children: what
// they cover is theirs, so the window never paints there (client coordinates).
Region UncoveredBySiblings(HWND window, Region area) {
    POINT offset{0, 0};  // the window's client origin in its ancestor's parent
    for (HWND w = window; w->GetParent() && !area.Empty(); w = w->GetParent()) {
        offset.x += w->WindowRect().left;
        offset.y += w->WindowRect().top;
        const std::vector<CWnd*>& siblings = w->GetParent()->Children();
        auto above = std::find(siblings.begin(), siblings.end(), w);
        if (above == siblings.end()) continue;
        for (++above; above != siblings.end(); ++above) {
            if (!(*above)->IsWindowVisible()) continue;
            const RECT cover = Offset((*above)->WindowRect(), POINT{-offset.x, -offset.y});
            area = Region::Combine(area, Region(cover), Region::Op::Diff);
        }
    }
    return area;
}

// A window draws on itself only: never past its own client area, nor past the
// client area of any window it lies in (client coordinates). What it was asked
// to paint may reach further, say when it shrank while hidden.
Region InsideItsEdges(HWND window, Region area) {
    area = area.Intersect(ClientRect(window));
    POINT offset{0, 0};  // the window's client origin in its ancestor's client area
    for (HWND w = window; w->GetParent() && !area.Empty(); w = w->GetParent()) {
        offset.x += w->WindowRect().left;
        offset.y += w->WindowRect().top;
        area = area.Intersect(Offset(ClientRect(w->GetParent()), POINT{-offset.x, -offset.y}));
    }
    return area;
}

// A DC drawing at the window's client origin, clipped to `visible` (client
// coordinates) within the window's edges, less what later siblings cover; a
// hidden window shows nothing.
HDC ClientDC(HWND window, const Region& visible) {
    const SurfacePtr surface = WindowSurface(window);
    if (!surface) return nullptr;
    HDC hdc = CreateSurfaceDC(surface);
    const POINT origin = SurfaceOrigin(window);
    SetViewportOrgEx(hdc, origin.x, origin.y, nullptr);
    Region device = window->IsWindowVisible()
                        ? UncoveredBySiblings(window, InsideItsEdges(window, visible))
                        : Region();
    device.Offset(origin.x, origin.y);
    HRGN clip = ToHandle(device);
    SelectClipRgn(hdc, clip);
    DeleteObject(clip);
    return hdc;
}

void Show(HWND window, const RECT& clientRect) {
    if (!g_backend || !window) return;
    g_backend->Present(TopLevelOf(window), Offset(clientRect, SurfaceOrigin(window)));
}

HWND FindDirty(HWND window, const MessageQueue* queue) {
    if (!window->IsWindowVisible()) return nullptr;
    if (window->Queue().get() == queue && !window->PaintState().update.Empty()) return window;
    if (window->IsIconic()) return nullptr;  // its children are not shown
    for (CWnd* child : window->Children()) {
        if (HWND found = FindDirty(child, queue)) return found;
    }
    return nullptr;
}

// The visible children over `box` (client coordinates) need painting too.
void InvalidateChildren(HWND window, const RECT& box, bool erase) {
    for (CWnd* child : window->Children()) {
        const RECT place = child->WindowRect();
        if (!child->IsWindowVisible() || !Intersects(place, box)) continue;
        RECT inChild = Offset(box, POINT{-place.left, -place.top});
        InvalidateRect(child, &inChild, erase);
    }
}

}  // namespace

void SetWindowBackend(WindowBackend* backend) {
    g_backend = backend;
}
WindowBackend* GetWindowBackend() {
    return g_backend;
}

SurfacePtr WindowSurface(HWND window) {
    return IsWindow(window) ? TopLevelOf(window)->PaintState().surface : nullptr;
}

POINT SurfaceOrigin(HWND window) {
    POINT origin{0, 0};
    for (HWND w = window; w && w->GetParent(); w = w->GetParent()) {
        origin.x += w->WindowRect().left;
        origin.y += w->WindowRect().top;
    }
    return origin;
}

bool InvalidateRect(HWND window, const RECT* rect, bool erase) {
    if (!IsWindow(window)) return false;
    const Region area = Region(ClientRect(window)).Intersect(rect ? *rect : ClientRect(window));
    WindowPaintState& state = window->PaintState();
    state.update = Region::Combine(state.update, area, Region::Op::Or);
    state.erase = state.erase || erase;
    InvalidateChildren(window, area.Box(), erase);
    return true;
}

bool ValidateRect(HWND window, const RECT* rect) {
    if (!IsWindow(window)) return false;
    WindowPaintState& state = window->PaintState();
    state.update = rect ? Region::Combine(state.update, Region(*rect), Region::Op::Diff) : Region();
    return true;
}

bool GetUpdateRect(HWND window, RECT* rect) {
    if (!IsWindow(window)) return false;
    const RECT box = window->PaintState().update.Box();
    if (rect) *rect = box;
    return !window->PaintState().update.Empty();
}

bool UpdateWindow(HWND window) {
    if (!IsWindow(window)) return false;
    if (!window->PaintState().update.Empty() && window->IsWindowVisible())
        window->SendMessage(WM_PAINT);
    return true;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    if (!IsWindow(window) || !paint) return nullptr;
    WindowPaintState& state = window->PaintState();
    // A window paints over its children (only later siblings clip it): children shown
    // since the area became invalid paint again after it.
    const Region area = InsideItsEdges(window, state.update);
    InvalidateChildren(window, area.Box(), state.erase);
    paint->rcPaint = area.Box();
    paint->fErase = state.erase;
    paint->hdc = ClientDC(window, state.update);
    state.update = Region();
    state.erase = false;
    return paint->hdc;
}

bool EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (!paint || !paint->hdc) return false;
    DeleteDC(paint->hdc);
    Show(window, paint->rcPaint);
    return true;
}

HDC GetDC(HWND window) {
    return IsWindow(window) ? ClientDC(window, Region(ClientRect(window))) : nullptr;
}

int ReleaseDC(HWND window, HDC hdc) {
    if (!hdc) return 0;
    DeleteDC(hdc);
    if (IsWindow(window)) Show(window, ClientRect(window));
    return 1;
}

int SetWindowRgn(HWND window, HRGN region, bool redraw) {
    if (!IsWindow(window)) return 0;
    std::optional<Region>& shape = window->PaintState().shape;
    if (region)
        shape = FromHandle(region);
    else
        shape.reset();
    if (WindowBackend* backend = GetWindowBackend(); backend && !window->GetParent())
        backend->TopLevelChanged(window);
    if (redraw) InvalidateRect(window, nullptr);
    return 1;
}

int GetWindowRgn(HWND window, HRGN region) {
    if (!IsWindow(window) || !region || !window->PaintState().shape) return 0;
    HRGN copy = ToHandle(*window->PaintState().shape);
    CombineRgn(region, copy, nullptr, RGN_COPY);
    DeleteObject(copy);
    return window->PaintState().shape->Kind();
}

HWND NextWindowToPaint(const MessageQueue* queue) {
    for (HWND top : TopLevelWindows()) {
        if (!IsWindow(top)) continue;
        if (HWND dirty = FindDirty(top, queue)) return dirty;
    }
    return nullptr;
}
