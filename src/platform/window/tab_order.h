// The way Tab goes round a dialog: the visible, enabled windows inside it that
// have WS_TABSTOP, in the order they were made (depth first), and inside a window
// with stops of its own (InnerTabStops) those stops first.
#pragma once

#include "window.h"

// The stop after `from` (before it when `backwards`), going round; the first (or
// last) when `from` is none of them; null when the dialog has no stop.
HWND NextTabStop(HWND dialog, HWND from, bool backwards);

// Moves the keyboard one stop on from where it is: inside the focused window while
// it has stops left, else to the next window, entering its own stops at their
// first (last). A window whose own stops are all gone is passed over.
void MoveTabFocus(HWND dialog, bool backwards);
