// The window system's standard cursors as the toolkit's cursors.
#pragma once

#include <FL/Enumerations.H>

// The arrow for an identifier the window system does not know.
Fl_Cursor ToolkitCursor(int id);
