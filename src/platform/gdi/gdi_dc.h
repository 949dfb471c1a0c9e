// Device contexts: creation, selected objects, drawing state, origins, clipping.
#pragma once

#include "gdi_types.h"
#include "surface.h"

// A DC that draws into a window's surface; the window system hands these out.
HDC CreateSurfaceDC(SurfacePtr surface);
// The surface a DC draws into (a window's, or the bitmap selected into a memory DC).
SurfacePtr GetDCSurface(HDC hdc);

HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);

HGDIOBJ GetStockObject(int index);
// Selecting a region sets the clip region and returns its kind (as a handle value).
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
BOOL DeleteObject(HGDIOBJ object);
// BITMAP for bitmaps, LOGBRUSH for brushes, LOGFONT for fonts; bytes written or 0.
int GetObject(HGDIOBJ object, int size, void* out);

constexpr UINT OBJ_PEN = 1;
constexpr UINT OBJ_BRUSH = 2;
constexpr UINT OBJ_FONT = 6;
constexpr UINT OBJ_BITMAP = 7;

int SetROP2(HDC hdc, int mode);
int GetROP2(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);

BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL GetWindowOrgEx(HDC hdc, POINT* out);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC hdc, POINT* out);
// Hatch patterns are aligned to the device origin moved by the brush origin.
BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL GetBrushOrgEx(HDC hdc, POINT* out);

int GetDeviceCaps(HDC hdc, int index);

// Clipping. Rectangles are logical; regions are in device coordinates.
int GetClipBox(HDC hdc, RECT* box);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
int ExtSelectClipRgn(HDC hdc, HRGN region, int mode);
int SelectClipRgn(HDC hdc, HRGN region);
// 1 and a copy in `region` when the DC has a clip region, 0 when it has none, -1 on error.
int GetClipRgn(HDC hdc, HRGN region);
BOOL PtVisible(HDC hdc, int x, int y);
