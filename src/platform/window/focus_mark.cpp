#include "focus_mark.h"

#include "dialog_look.h"
#include "platform/gdi/gdi.h"

void DrawFocusMark(HDC hdc, const RECT& box) {
    const LONG w = kFocusMarkWidth;
    FillSolidRect(hdc, RECT{box.left, box.top, box.right, box.top + w}, look::kAccent);
    FillSolidRect(hdc, RECT{box.left, box.bottom - w, box.right, box.bottom}, look::kAccent);
    FillSolidRect(hdc, RECT{box.left, box.top, box.left + w, box.bottom}, look::kAccent);
    FillSolidRect(hdc, RECT{box.right - w, box.top, box.right, box.bottom}, look::kAccent);
}
