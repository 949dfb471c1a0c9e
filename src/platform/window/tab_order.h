// The way Tab goes round a dialog: the visible, enabled windows inside it that
// have WS_TABSTOP, in the order they were made (depth first).
#pragma once

#include "window.h"

// The stop after `from` (before it when `backwards`), going round; the first (or
// last) when `from` is none of them; null when the dialog has no stop.
HWND NextTabStop(HWND dialog, HWND from, bool backwards);
