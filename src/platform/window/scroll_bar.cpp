#include "scroll_bar.h"

#include <algorithm>

#include "platform/gdi/gdi.h"

namespace {

constexpr int kMinThumb = 16;

}  // namespace

void VScrollBar::Layout(const RECT& bar, int contentHeight, int viewHeight) {
    bar_ = bar;
    content_ = std::max(0, contentHeight);
    view_ = std::max(1, viewHeight);
    SetPosition(position_);
}

bool VScrollBar::SetPosition(int position) {
    const int clamped = std::clamp(position, 0, MaxPosition());
    const bool moved = clamped != position_;
    position_ = clamped;
    return moved;
}

bool VScrollBar::Contains(POINT p) const {
    return Needed() && p.x >= bar_.left && p.x < bar_.right && p.y >= bar_.top && p.y < bar_.bottom;
}

RECT VScrollBar::Thumb() const {
    const int track = bar_.bottom - bar_.top;
    if (!Needed() || track <= 0) return RECT{bar_.left, bar_.top, bar_.right, bar_.bottom};
    const int size =
        std::max(kMinThumb, static_cast<int>(static_cast<long long>(track) * view_ / content_));
    const int room = std::max(0, track - size);
    const int top =
        bar_.top + static_cast<int>(static_cast<long long>(room) * position_ / MaxPosition());
    return RECT{bar_.left + 2, top, bar_.right - 2, top + std::min(size, track)};
}

void VScrollBar::Press(POINT p) {
    const RECT thumb = Thumb();
    if (p.y >= thumb.top && p.y < thumb.bottom) {
        dragging_ = true;
        grabOffset_ = p.y - thumb.top;
    } else {
        ScrollBy(p.y < thumb.top ? -view_ : view_);
    }
}

bool VScrollBar::Drag(POINT p) {
    if (!dragging_) return false;
    const RECT thumb = Thumb();
    const int room = (bar_.bottom - bar_.top) - (thumb.bottom - thumb.top);
    if (room <= 0) return false;
    const int top = p.y - grabOffset_ - bar_.top;
    return SetPosition(static_cast<int>(static_cast<long long>(top) * MaxPosition() / room));
}

void VScrollBar::Paint(HDC hdc) const {
    if (!Needed()) return;
    FillSolidRect(hdc, bar_, RGB(240, 240, 240));
    FillSolidRect(hdc, Thumb(), dragging_ ? RGB(96, 96, 96) : RGB(160, 160, 160));
}
