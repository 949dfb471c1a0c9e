#include "cursor.h"

#include <array>
#include <atomic>

#include "window.h"
#include "window_backend.h"

namespace {

constexpr std::array<CursorShape, 5> kStandard{CursorShape{IDC_ARROW}, CursorShape{IDC_WAIT},
                                               CursorShape{IDC_SIZENWSE}, CursorShape{IDC_SIZENESW},
                                               CursorShape{IDC_SIZEALL}};

std::atomic<HCURSOR> g_current{&kStandard[0]};
// Mouse moves being handled on this thread, and whether one of them set a cursor.
thread_local int t_moveDepth = 0;
thread_local bool t_setDuringMove = false;

}  // namespace

HCURSOR LoadCursor(const void* instance, int id) {
    if (instance) return nullptr;
    for (const CursorShape& shape : kStandard)
        if (shape.id == id) return &shape;
    return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
    if (!cursor) cursor = &kStandard[0];
    t_setDuringMove = true;
    const HCURSOR previous = g_current.exchange(cursor);
    if (previous != cursor)
        if (WindowBackend* backend = GetWindowBackend()) backend->CursorChanged(cursor->id);
    return previous;
}

HCURSOR GetCursor() {
    return g_current.load();
}

LRESULT DeliverMouseMove(const MSG& message) {
    if (t_moveDepth++ == 0) t_setDuringMove = false;
    const LRESULT result = DeliverMessage(message);
    if (--t_moveDepth == 0 && !t_setDuringMove) SetCursor(LoadCursor(nullptr, IDC_ARROW));
    return result;
}
