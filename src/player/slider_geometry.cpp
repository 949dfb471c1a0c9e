#include "slider_geometry.h"

#include <algorithm>
#include <cmath>

namespace player {
namespace {

long KnobWidth(const RECT& box) {
    const long w = box.right - box.left, h = box.bottom - box.top;
    return std::min(w, std::max(6L, h / 2));
}

}  // namespace

SliderGeometry SliderLayout(const RECT& box, const SliderItem& slider, int value) {
    const long w = box.right - box.left, h = box.bottom - box.top;
    const long knobWidth = KnobWidth(box);
    const long travel = w - knobWidth;
    const long range = static_cast<long>(slider.max) - slider.min;
    const long at = range > 0 ? travel * (static_cast<long>(value) - slider.min) / range : 0;
    const long trackHeight = std::min(h, std::max(2L, h / 5));
    const long trackTop = box.top + (h - trackHeight) / 2;
    SliderGeometry g;
    g.track = RECT{box.left, static_cast<LONG>(trackTop), box.right,
                   static_cast<LONG>(trackTop + trackHeight)};
    g.knob = RECT{static_cast<LONG>(box.left + at), box.top,
                  static_cast<LONG>(box.left + at + knobWidth), box.bottom};
    return g;
}

int SliderValueAt(const RECT& box, const SliderItem& slider, long x) {
    const long knobWidth = KnobWidth(box);
    const long travel = (box.right - box.left) - knobWidth;
    if (travel <= 0) return slider.min;
    const double along = static_cast<double>(x - box.left - knobWidth / 2) / travel;
    const double range = static_cast<double>(slider.max) - slider.min;
    const long value = std::lround(slider.min + std::clamp(along, 0.0, 1.0) * range);
    return static_cast<int>(std::clamp<long>(value, slider.min, slider.max));
}

}  // namespace player
