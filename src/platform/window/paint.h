// Painting. Each top-level window owns a 24-bit surface as large as itself; its
// child windows paint into the same surface at their place. Invalid areas collect
// in a window's update region; WM_PAINT comes when nothing is posted, parents
// before their children.
#pragma once

#include "platform/gdi/gdi_types.h"
#include "platform/gdi/surface.h"
#include "window.h"

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
};

// rect in the window's client coordinates; null for the whole client area. The
// visible children under it become invalid too.
bool InvalidateRect(HWND window, const RECT* rect, bool erase = true);
bool ValidateRect(HWND window, const RECT* rect);
bool GetUpdateRect(HWND window, RECT* rect);
// Paints at once when something is invalid.
bool UpdateWindow(HWND window);

// A DC on the window's client area, clipped to the update region, which is then
// empty. EndPaint shows the painted pixels.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
bool EndPaint(HWND window, const PAINTSTRUCT* paint);
// A DC on the whole client area; ReleaseDC shows what was drawn.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC hdc);

// The surface a window's pixels live in (its top-level window's).
SurfacePtr WindowSurface(HWND window);
// The window's client origin inside that surface.
POINT SurfaceOrigin(HWND window);

// The window's shape (a copy of the region, which the window system keeps);
// null removes it. The region's pixels are in window coordinates.
int SetWindowRgn(HWND window, HRGN region, bool redraw);
// Copies the shape into `region`; ERROR (0) when the window has none.
int GetWindowRgn(HWND window, HRGN region);

// The next window of the calling thread that needs painting, or null.
HWND NextWindowToPaint(const MessageQueue* queue);
