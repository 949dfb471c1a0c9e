#include "cursor_map.h"

#include "platform/window/cursor.h"

Fl_Cursor ToolkitCursor(int id) {
    switch (id) {
        case IDC_WAIT:
            return FL_CURSOR_WAIT;
        case IDC_SIZENWSE:
            return FL_CURSOR_NWSE;
        case IDC_SIZENESW:
            return FL_CURSOR_NESW;
        case IDC_SIZEALL:
            return FL_CURSOR_MOVE;
        default:
            return FL_CURSOR_DEFAULT;
    }
}
