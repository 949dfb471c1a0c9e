#include "styled_menu.h"

#include <algorithm>
#include <memory>

#include "platform/gdi/gdi.h"
#include "platform/window/dialog_look.h"
#include "styled_box.h"

namespace {

constexpr int kRowHeight = 26;
constexpr int kSeparatorHeight = 9;
constexpr int kTextLeft = 14;
constexpr int kTextRight = 28;
constexpr int kMinWidth = 140;
constexpr int kBorder = 1;
constexpr int kInset = 3;  // between the border and the rows

}  // namespace

MenuGeometry LayOutMenu(const std::vector<MenuItem>& items, int scale) {
    scale = std::max(scale, 1);
    MenuGeometry g;
    LONG textW = 0;
    HDC hdc = CreateSurfaceDC(std::make_shared<Surface>(1, 1));
    HFONT font = CreateLookFont(look::kTextPixels * scale, false);
    HGDIOBJ old = SelectObject(hdc, font);
    for (const MenuItem& item : items) {
        if (item.separator) continue;
        RECT box{0, 0, 0, 0};
        DrawText(hdc, item.text.c_str(), -1, &box, DT_CALCRECT | DT_SINGLELINE);
        textW = std::max<LONG>(textW, box.right - box.left);
    }
    SelectObject(hdc, old);
    DeleteObject(font);
    DeleteDC(hdc);
    const LONG edge = (kBorder + kInset) * scale;
    g.width =
        std::max<LONG>(kMinWidth * scale, textW + (kTextLeft + kTextRight) * scale) + 2 * edge;
    LONG y = edge;
    for (const MenuItem& item : items) {
        const LONG h = (item.separator ? kSeparatorHeight : kRowHeight) * scale;
        g.rows.push_back(RECT{edge, y, g.width - edge, y + h});
        y += h;
    }
    g.height = y + edge;
    return g;
}

void PaintMenu(Surface& target, const std::vector<MenuItem>& items, const MenuGeometry& geometry,
               std::optional<std::size_t> selected, int scale) {
    scale = std::max(scale, 1);
    HDC hdc = CreateSurfaceDC(std::shared_ptr<Surface>(&target, [](Surface*) {}));
    FillSolidRect(hdc, RECT{0, 0, geometry.width, geometry.height}, look::kBorder);
    const LONG b = kBorder * scale;
    FillSolidRect(hdc, RECT{b, b, geometry.width - b, geometry.height - b}, look::kPanel);
    HFONT font = CreateLookFont(look::kTextPixels * scale, false);
    HGDIOBJ old = SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    for (std::size_t i = 0; i < items.size() && i < geometry.rows.size(); ++i) {
        const RECT row = geometry.rows[i];
        if (items[i].separator) {
            const LONG mid = (row.top + row.bottom) / 2;
            FillSolidRect(hdc, RECT{row.left + 6 * scale, mid, row.right - 6 * scale, mid + scale},
                          look::kRule);
            continue;
        }
        const bool isSelected = selected == i;
        if (isSelected) FillRoundRect(hdc, row, 4 * scale, look::kAccent);
        SetTextColor(hdc, isSelected ? RGB(255, 255, 255) : look::kText);
        RECT text{row.left + kTextLeft * scale, row.top, row.right - kTextRight * scale,
                  row.bottom};
        DrawText(hdc, items[i].text.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
    SelectObject(hdc, old);
    DeleteObject(font);
    DeleteDC(hdc);
}

std::optional<std::size_t> ItemAt(const std::vector<MenuItem>& items, const MenuGeometry& geometry,
                                  LONG x, LONG y) {
    for (std::size_t i = 0; i < items.size() && i < geometry.rows.size(); ++i) {
        const RECT& r = geometry.rows[i];
        if (!items[i].separator && x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return i;
    }
    return std::nullopt;
}

void MenuKeys::Move(int step) {
    const int count = static_cast<int>(items_.size());
    int at = selected_ ? static_cast<int>(*selected_) : (step > 0 ? -1 : count);
    for (int tries = 0; tries < count; ++tries) {
        at = (at + step + count) % count;
        if (!items_[static_cast<std::size_t>(at)].separator) {
            selected_ = static_cast<std::size_t>(at);
            return;
        }
    }
}

MenuKeys::Outcome MenuKeys::Key(WPARAM virtualKey, std::optional<char32_t> character) {
    switch (virtualKey) {
        case VK_DOWN:
            Move(1);
            return {};
        case VK_UP:
            Move(-1);
            return {};
        case VK_HOME:
            selected_.reset();
            Move(1);
            return {};
        case VK_END:
            selected_.reset();
            Move(-1);
            return {};
        case VK_RETURN:
        case VK_SPACE:
            return Outcome{true, selected_ ? items_[*selected_].id : 0};
        case VK_ESCAPE:
            return Outcome{true, 0};
        default:
            break;
    }
    if (!character) return {};
    const char32_t wanted =
        *character >= 'A' && *character <= 'Z' ? *character - 'A' + 'a' : *character;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (!items_[i].separator && ShortcutLetter(items_[i].text) == wanted)
            return Outcome{true, items_[i].id};
    }
    return {};
}
