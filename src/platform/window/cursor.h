// Cursors: the system's standard pointer shapes, found by their standard
// identifiers. One cursor is current for the whole program; the back end shows it
// on the real windows (or just keeps it, headless).
#pragma once

#include "win_messages.h"

// The standard identifiers.
constexpr int IDC_ARROW = 32512;
constexpr int IDC_WAIT = 32514;      // busy: the program takes no input for now
constexpr int IDC_SIZENWSE = 32642;  // north-west / south-east sizing
constexpr int IDC_SIZENESW = 32643;  // north-east / south-west sizing
constexpr int IDC_SIZEALL = 32646;   // four-way

struct CursorShape {
    int id;
};
using HCURSOR = const CursorShape*;

// A standard cursor (instance null); null for an identifier the system lacks.
HCURSOR LoadCursor(const void* instance, int id);
// Makes the cursor current and returns the previous one; null shows no pointer
// shape of our own, so the arrow.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();

// Delivers a mouse move the way the system does: a window that sets no cursor
// while handling it shows its class cursor, the arrow.
LRESULT DeliverMouseMove(const MSG& message);
