// Input from the back end: mouse events at a point of a top-level window go to the
// window under the point (or the one holding the capture), keys to the window with
// the focus. Everything is posted, as the system's input is.
#pragma once

#include "window.h"

// The deepest visible window at `point` (window coordinates of `topLevel`).
HWND ChildWindowFromPoint(HWND topLevel, POINT point);
// A press on an inactive top-level window activates it first (WA_CLICKACTIVE).
bool PostMouseEvent(HWND topLevel, UINT message, POINT point, WPARAM keys = 0);
// To the focus window, or the active window when nothing has the focus.
bool PostKeyEvent(UINT message, WPARAM key);
