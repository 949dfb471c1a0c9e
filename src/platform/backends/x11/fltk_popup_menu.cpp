#include <FL/Fl.H>
#include <FL/Fl_Menu_Item.H>

#include <string>
#include <vector>

#include "fltk_dialogs.h"
#include "platform/window/trace.h"

UINT ShowFltkPopupMenu(const CMenu& menu, POINT at) {
    std::vector<Fl_Menu_Item> items;
    std::vector<UINT> ids;
    std::string names;
    for (const MenuItem& item : menu.Items()) {
        if (item.separator) {
            if (!items.empty()) items.back().flags |= FL_MENU_DIVIDER;
            continue;
        }
        Fl_Menu_Item entry{};
        entry.text = item.text.c_str();
        entry.user_data_ = reinterpret_cast<void*>(static_cast<std::uintptr_t>(ids.size()));
        items.push_back(entry);
        ids.push_back(item.id);
        names += (names.empty() ? "" : "|") + item.text;
    }
    if (items.empty()) return 0;
    items.push_back(Fl_Menu_Item{});
    // The toolkit places pop-ups relative to the window of the last event.
    const int x = at.x - (Fl::event_x_root() - Fl::event_x());
    const int y = at.y - (Fl::event_y_root() - Fl::event_y());
    Trace("menu at " + std::to_string(at.x) + "," + std::to_string(at.y) + ": " + names);
    const Fl_Menu_Item* chosen = items.front().popup(x, y);
    const UINT id = chosen ? ids[reinterpret_cast<std::uintptr_t>(chosen->user_data_)] : 0;
    Trace("menu chose " + std::to_string(id));
    return id;
}
