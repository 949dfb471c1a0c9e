// A pop-up menu in the wizard's look, drawn by the software GDI: white rows in the
// movie's font with the chosen one blue, thin rules for separators. Sizes are in
// screen pixels at `scale`. Down and Up move through the items (from none: the
// first or the last), Enter chooses, Escape closes, an underlined letter chooses
// its item.
#pragma once

#include <optional>
#include <vector>

#include "platform/gdi/surface.h"
#include "platform/window/menu.h"
#include "platform/window/win_messages.h"

struct MenuGeometry {
    LONG width = 0, height = 0;
    std::vector<RECT> rows;  // one for each item, separators too
};

MenuGeometry LayOutMenu(const std::vector<MenuItem>& items, int scale);

void PaintMenu(Surface& target, const std::vector<MenuItem>& items, const MenuGeometry& geometry,
               std::optional<std::size_t> selected, int scale);

// The item (not a separator) at a point of the menu.
std::optional<std::size_t> ItemAt(const std::vector<MenuItem>& items, const MenuGeometry& geometry,
                                  LONG x, LONG y);

class MenuKeys {
public:
    explicit MenuKeys(const std::vector<MenuItem>& items) : items_(items) {}
    std::optional<std::size_t> Selected() const { return selected_; }
    void Select(std::optional<std::size_t> item) { selected_ = item; }

    struct Outcome {
        bool closes = false;
        UINT chosen = 0;  // 0: closed without a choice
    };
    Outcome Key(WPARAM virtualKey, std::optional<char32_t> character);

private:
    void Move(int step);

    std::vector<MenuItem> items_;
    std::optional<std::size_t> selected_;
};
