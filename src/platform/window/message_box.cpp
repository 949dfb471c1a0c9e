#include "message_box.h"

#include <mutex>

#include "tooltip.h"

namespace {

std::mutex g_mutex;
MessageBoxHandler g_handler;

}  // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    std::lock_guard lock(g_mutex);
    std::swap(g_handler, handler);
    return handler;
}

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style) {
    MessageBoxHandler handler;
    {
        std::lock_guard lock(g_mutex);
        handler = g_handler;
    }
    const TipsHidden hidden;  // a tip would cover the box
    if (handler) return handler(owner, text, caption, style);
    return (style & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
}
