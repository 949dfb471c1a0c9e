// Regions by handle.
#pragma once

#include "gdi_types.h"

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height);
// From a region data block of `count` bytes; only a null or identity transform.
HRGN ExtCreateRegion(const XFORM* xform, DWORD count, const RGNDATA* data);
// Bytes needed when `data` is null, else bytes written (0 when `size` is too small).
DWORD GetRegionData(HRGN region, DWORD size, RGNDATA* data);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN region, int dx, int dy);
BOOL PtInRegion(HRGN region, int x, int y);
int GetRgnBox(HRGN region, RECT* box);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
BOOL EqualRgn(HRGN a, HRGN b);
