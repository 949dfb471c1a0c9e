#include "menu.h"

#include <mutex>

#include "tooltip.h"

#include "window.h"

namespace {

std::mutex g_mutex;
MenuHandler g_handler;

}  // namespace

bool CMenu::AppendMenu(UINT flags, UINT id, const std::string& text) {
    items_.push_back(MenuItem{id, text, (flags & MF_SEPARATOR) != 0});
    return true;
}

MenuHandler SetMenuHandler(MenuHandler handler) {
    std::lock_guard lock(g_mutex);
    std::swap(g_handler, handler);
    return handler;
}

UINT TrackPopupMenu(const CMenu& menu, UINT flags, POINT screen, CWnd* owner) {
    MenuHandler handler;
    {
        std::lock_guard lock(g_mutex);
        handler = g_handler;
    }
    const TipsHidden hidden;  // a tip would cover the menu
    const UINT chosen = handler ? handler(menu, screen, owner) : 0;
    if (flags & TPM_RETURNCMD) return chosen;
    if (chosen && owner) owner->PostMessage(WM_COMMAND, chosen, 0);
    return chosen != 0;
}
