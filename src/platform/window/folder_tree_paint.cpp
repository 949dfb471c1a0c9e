// Drawing the folder tree.
#include "focus_mark.h"
#include "folder_icons.h"
#include "folder_tree.h"
#include "folder_tree_node.h"
#include "paint.h"
#include "platform/gdi/gdi.h"
#include "text_fit.h"

namespace {

constexpr int kLeft = 4;
constexpr int kIconGap = 18;
constexpr COLORREF kBackground = RGB(255, 255, 255);
constexpr COLORREF kSelection = RGB(0, 120, 215);
constexpr COLORREF kSelectionUnfocused = RGB(217, 217, 217);
constexpr COLORREF kExpander = RGB(110, 110, 110);

// A small triangle: pointing right when closed, down when open.
void Expander(HDC hdc, int x, int y, bool open) {
    for (int i = 0; i < 4; ++i) {
        if (open)
            FillSolidRect(hdc, RECT{x + 2 + i, y + 6 + i, x + 9 - i, y + 7 + i}, kExpander);
        else
            FillSolidRect(hdc, RECT{x + 4 + i, y + 5 + i, x + 5 + i, y + 12 - i}, kExpander);
    }
}

}  // namespace

RECT CFolderView::RowRect(int row) const {
    RECT client;
    GetClientRect(&client);
    const int top = row * kRowHeight - bar_.Position();
    return RECT{0, top, client.right - (bar_.Needed() ? VScrollBar::kWidth : 0), top + kRowHeight};
}

void CFolderView::Paint() {
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(this, &paint);
    if (!hdc) return;
    RECT client;
    GetClientRect(&client);
    FillSolidRect(hdc, client, kBackground);
    HGDIOBJ old =
        SelectObject(hdc, CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    SetBkMode(hdc, TRANSPARENT);
    for (int row = bar_.Position() / kRowHeight; row < static_cast<int>(rows_.size()); ++row) {
        if (RowRect(row).top >= client.bottom) break;
        PaintRow(hdc, row);
    }
    DeleteObject(SelectObject(hdc, old));
    bar_.Paint(hdc);
    if (focused_) DrawFocusMark(hdc, client);
    EndPaint(this, &paint);
}

int CFolderView::TextLeft(const Node& node) const {
    return kLeft + node.depth * kIndent + kIndent + kIconGap;
}

void CFolderView::PaintRow(HDC hdc, int row) {
    const Node& node = *rows_[static_cast<std::size_t>(row)];
    const RECT rect = RowRect(row);
    const int x = kLeft + node.depth * kIndent;
    if (node.expandable) Expander(hdc, x, rect.top, node.expanded);
    DrawPlaceIcon(hdc, node.kind, x + kIndent, rect.top + 1);
    const int left = TextLeft(node);
    const std::string name = Ellipsize(hdc, DisplayText(node.name), rect.right - left - 2);
    const bool selected = &node == selected_;
    if (selected) {
        FillSolidRect(
            hdc, RECT{left - 2, rect.top + 1, left + TextWidth(hdc, name) + 2, rect.bottom - 1},
            focused_ ? kSelection : kSelectionUnfocused);
    }
    SetTextColor(hdc, selected && focused_ ? RGB(255, 255, 255) : RGB(0, 0, 0));
    TextOut(hdc, left, rect.top + 2, name.c_str(), static_cast<int>(name.size()));
}
