// Brushes, pens and the filling calls.
#pragma once

#include "gdi_types.h"

HBRUSH CreateSolidBrush(COLORREF color);
// 8 x 8 hatch in `color`; the gaps take the DC's background colour when it is OPAQUE.
HBRUSH CreateHatchBrush(int style, COLORREF color);
// Pens draw one pixel wide whatever width is asked.
HPEN CreatePen(int style, int width, COLORREF color);

// Ignores the mix mode, as GDI does.
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
BOOL FillRgn(HDC hdc, HRGN region, HBRUSH brush);
// FillRect with a solid brush of its own, made and freed here.
void FillSolidRect(HDC hdc, const RECT& rect, COLORREF color);
BOOL InvertRect(HDC hdc, const RECT* rect);
// Outline with the pen and inside with the brush, both under the mix mode; the
// right and bottom edges are outside. Each pixel is drawn once.
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop);
// The colour set, or CLR_INVALID when the pixel is clipped away.
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
// CLR_INVALID when the pixel is outside the surface or the clip region.
COLORREF GetPixel(HDC hdc, int x, int y);
