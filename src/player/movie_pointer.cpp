#include "movie_pointer.h"

#include "slider_geometry.h"
#include "stage_walk.h"

namespace player {
namespace {

// The box and tip of an item the pointer can be over; null for other items.
const Box* PointerBox(const Item& item, const std::string** tip) {
    const Box* box = nullptr;
    if (const auto* b = std::get_if<ButtonItem>(&item)) {
        box = &b->box;
        *tip = &b->tip;
    } else if (const auto* h = std::get_if<HoverItem>(&item)) {
        box = &h->box;
        *tip = &h->tip;
    } else if (const auto* s = std::get_if<SliderItem>(&item)) {
        box = &s->box;
        *tip = &s->tip;
    }
    return box;
}

std::string TipOf(const PointerTarget& target) {
    const std::string* tip = nullptr;
    if (!target || !PointerBox(*target.item, &tip)) return {};
    return *tip;
}

}  // namespace

RECT StageBox(const Box& box, POINT origin) {
    return RECT{origin.x + box.x, origin.y + box.y, origin.x + box.x + box.w,
                origin.y + box.y + box.h};
}

PointerTarget HitTest(const MoviePlayback& playback, POINT point) {
    PointerTarget found;
    WalkStage(
        playback.movie(), playback.Root(), POINT{0, 0},
        [&](const ClipInstance& instance, POINT origin, const Item& item) {
            const std::string* tip = nullptr;
            const Box* box = PointerBox(item, &tip);
            if (!box) return;
            const RECT r = StageBox(*box, origin);
            if (point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom) {
                found = PointerTarget{instance.id, &item, origin};
            }
        });
    return found;
}

void MoviePointer::UpdateHover(POINT point) {
    last_ = point;
    if (dragging_) return;
    const PointerTarget now = HitTest(playback_, point);
    if (now == hover_) return;
    hover_ = now;
    playback_.MarkChanged();
    playback_.SetVariable("tt", TipOf(hover_));
}

bool MoviePointer::Press(POINT point) {
    UpdateHover(point);
    if (!hover_) return false;
    if (std::holds_alternative<ButtonItem>(*hover_.item)) {
        pressed_ = hover_;
        return true;
    }
    if (std::holds_alternative<SliderItem>(*hover_.item)) {
        dragging_ = hover_;
        Drag(point);
        return true;
    }
    return false;
}

void MoviePointer::Drag(POINT point) {
    const auto& slider = std::get<SliderItem>(*dragging_.item);
    const RECT box = StageBox(slider.box, dragging_.origin);
    playback_.SetSliderValue(dragging_.instance, slider, SliderValueAt(box, slider, point.x));
}

void MoviePointer::Release(POINT point) {
    if (dragging_) {
        Drag(point);
        dragging_ = {};
    }
    if (pressed_) {
        const PointerTarget pressed = pressed_;
        pressed_ = {};
        if (HitTest(playback_, point) == pressed)
            playback_.RunButton(pressed.instance, std::get<ButtonItem>(*pressed.item).actions);
    }
    UpdateHover(point);
}

void MoviePointer::Move(POINT point) {
    if (dragging_) Drag(point);
    UpdateHover(point);
}

void MoviePointer::Cancel() {
    pressed_ = {};
    dragging_ = {};
}

void MoviePointer::Refresh() {
    if (last_ && !dragging_) UpdateHover(*last_);
}

}  // namespace player
