#include "xlib.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <memory>
#include <string>

#include "display_scale.h"
#include "fltk_dialogs.h"
#include "key_map.h"
#include "platform/window/message_loop.h"
#include "platform/window/trace.h"
#include "styled_menu.h"
#include "surface_view.h"

namespace {

// The menu on the screen: a window of its own above everything, holding the
// pointer and the keyboard until an item is chosen or the menu is closed.
class StyledMenuWindow : public Fl_Window {
public:
    StyledMenuWindow(const std::vector<MenuItem>& items, int scale)
        : Fl_Window(1, 1),
          items_(items),
          scale_(scale),
          geometry_(LayOutMenu(items, scale)),
          keys_(items),
          surface_(std::make_unique<Surface>(geometry_.width, geometry_.height)) {
        end();
        box(FL_NO_BOX);
        border(0);
        set_override();
        Fl_Window::size(geometry_.width, geometry_.height);
        Repaint();
    }

    bool Closed() const { return closed_; }
    UINT Chosen() const { return chosen_; }

    void draw() override {
        int X = 0, Y = 0, W = 0, H = 0;
        fl_clip_box(0, 0, w(), h(), X, Y, W, H);
        DrawSurface(*surface_, RECT{X, Y, X + W, Y + H}, 1);
    }

    int handle(int event) override {
        const bool inside = Fl::event_inside(0, 0, w(), h());
        const auto item = ItemAt(items_, geometry_, Fl::event_x(), Fl::event_y());
        switch (event) {
            case FL_PUSH:
                // A press outside closes the menu; on an item it waits for the release.
                if (!inside) Close(0);
                Hover(item);
                return 1;
            case FL_MOVE:
            case FL_DRAG:
                if (inside) Hover(item);
                return 1;
            case FL_RELEASE:
                // The release of the press that opened the menu may land anywhere.
                if (item) Close(items_[*item].id);
                return 1;
            case FL_KEYDOWN:
            case FL_SHORTCUT: {
                const KeyTranslation key =
                    TranslateKey(Fl::event_key(), Fl::event_text() ? Fl::event_text() : "");
                const MenuKeys::Outcome outcome = keys_.Key(key.virtualKey, key.character);
                Repaint();
                if (outcome.closes) Close(outcome.chosen);
                return 1;
            }
            case FL_ENTER:
            case FL_LEAVE:
            case FL_FOCUS:
            case FL_UNFOCUS:
                return 1;
            default:
                return Fl_Window::handle(event);
        }
    }

private:
    void Hover(std::optional<std::size_t> item) {
        if (item == keys_.Selected()) return;
        keys_.Select(item);
        Repaint();
    }
    void Repaint() {
        PaintMenu(*surface_, items_, geometry_, keys_.Selected(), scale_);
        redraw();
    }
    void Close(UINT chosen) {
        if (closed_) return;
        closed_ = true;
        chosen_ = chosen;
        MessageQueue::Current()->Post(MSG{nullptr, WM_NULL, 0, 0, 0});  // wakes the loop
    }

    const std::vector<MenuItem>& items_;
    int scale_;
    MenuGeometry geometry_;
    MenuKeys keys_;
    std::unique_ptr<Surface> surface_;
    bool closed_ = false;
    UINT chosen_ = 0;
};

// At the point, moved back onto the screen where it would run off its edge.
void PlaceMenu(Fl_Window& menu, POINT at) {
    int sx = 0, sy = 0, sw = 0, sh = 0;
    Fl::screen_xywh(sx, sy, sw, sh, at.x, at.y);
    const int x = std::max(sx, std::min<int>(at.x, sx + sw - menu.w()));
    const int y = std::max(sy, std::min<int>(at.y, sy + sh - menu.h()));
    menu.position(x, y);
}

}  // namespace

UINT ShowFltkPopupMenu(const CMenu& menu, POINT at, const DisplayScale& scale) {
    std::vector<MenuItem> items;
    std::string names;
    for (const MenuItem& item : menu.Items()) {
        if (item.separator && (items.empty() || items.back().separator)) continue;
        items.push_back(item);
        if (!item.separator) names += (names.empty() ? "" : "|") + item.text;
    }
    while (!items.empty() && items.back().separator)
        items.pop_back();
    if (items.empty()) return 0;
    Trace("menu at " + std::to_string(at.x) + "," + std::to_string(at.y) + ": " + names);
    StyledMenuWindow window(items, scale.factor);
    PlaceMenu(window, POINT{scale.ToScreen(at.x), scale.ToScreen(at.y)});
    window.show();
    Fl::grab(&window);
    RunLoopUntil([&window] { return window.Closed(); });
    Fl::grab(nullptr);
    window.hide();
    const UINT id = window.Chosen();
    Trace("menu chose " + std::to_string(id));
    return id;
}
