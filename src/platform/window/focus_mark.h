// The mark of the window that has the keyboard: a ring in the wizard's accent
// colour along the inside of a box.
#pragma once

#include "platform/gdi/gdi_types.h"

constexpr int kFocusMarkWidth = 2;

void DrawFocusMark(HDC hdc, const RECT& box);
