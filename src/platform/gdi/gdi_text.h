// Fonts and text. Strings are UTF-8; lengths count bytes (-1: up to the NUL
// where GDI allows it). Text is drawn anti-aliased in the text colour over
// what the surface shows; with the OPAQUE background mode the text's cell is
// first filled with the background colour.
#pragma once

#include <string>

#include "gdi_types.h"

HFONT CreateFontIndirect(const LOGFONT* font);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                 DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const char* face);

BOOL TextOut(HDC hdc, int x, int y, const char* text, int length);
// Options ETO_OPAQUE (fill rect with the background colour) and ETO_CLIPPED.
// Per-character advances (dx) are not supported and must be null.
BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, const char* text,
                UINT length, const int* dx);
BOOL GetTextExtentPoint32(HDC hdc, const char* text, int length, SIZE* size);
BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* metrics);
// Text in a rectangle: left / centre / right, word breaking, single line with
// vertical centring or bottom alignment, & prefixes, clipping, measuring.
// Returns the height of the text.
int DrawText(HDC hdc, const char* text, int length, RECT* rect, UINT format);

// The family of the font file the DC's font resolved to ("Liberation Sans"
// for "Arial"); empty when no font was found. Not a Win32 call.
std::string GetResolvedFontFamily(HDC hdc);
