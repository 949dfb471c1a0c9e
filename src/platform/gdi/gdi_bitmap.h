// Bitmaps, DIBs and block transfers. DIBs may be 1, 4, 8, 24 or 32 bits per
// pixel, uncompressed, with RGB colour tables; others are refused.
#pragma once

#include "gdi_types.h"
#include "surface.h"

// Only 24 bpp DIB sections; the memory behind *bits is the bitmap's own pixels.
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
// A device bitmap (24 bpp) of the DIB's size, filled from the DIB when init is CBM_INIT.
HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage);
// 1 bpp (monochrome), 24 or 32 bpp; rows top-down, each padded to 2 bytes.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
// Reads rows of a bitmap as a DIB of the format in info (1, 24 or 32 bpp; a 1 bpp
// read gets a black and white colour table). With null bits only fills in the header.
int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage);
// The pixels of a bitmap (for the back ends).
SurfacePtr GetBitmapSurface(HBITMAP bitmap);

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                      UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info,
                      UINT usage);
// Nearest neighbour; negative sizes mirror.
int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage,
                  DWORD rop);
BOOL BitBlt(HDC hdc, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop);
