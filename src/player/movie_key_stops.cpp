#include "movie_key_stops.h"

#include <algorithm>

#include "stage_walk.h"

namespace player {

std::vector<PointerTarget> KeyStops(const MoviePlayback& playback) {
    std::vector<PointerTarget> stops;
    WalkStage(playback.movie(), playback.Root(), POINT{0, 0},
              [&](const ClipInstance& instance, POINT origin, const Item& item) {
                  if (std::holds_alternative<ButtonItem>(item) ||
                      std::holds_alternative<SliderItem>(item))
                      stops.push_back(PointerTarget{instance.id, &item, origin});
              });
    return stops;
}

RECT KeyStopBox(const PointerTarget& stop) {
    if (const auto* button = std::get_if<ButtonItem>(stop.item))
        return StageBox(button->box, stop.origin);
    return StageBox(std::get<SliderItem>(*stop.item).box, stop.origin);
}

int NextKeyStop(int at, int count, bool backwards) {
    if (count <= 0) return -1;
    if (at < 0 || at >= count) return backwards ? count - 1 : 0;
    const int next = backwards ? at - 1 : at + 1;
    return next >= count ? -1 : next;
}

bool PressKeyStop(MoviePlayback& playback, const PointerTarget& stop) {
    const auto* button = std::get_if<ButtonItem>(stop.item);
    if (!button) return false;
    playback.RunButton(stop.instance, button->actions);
    return true;
}

bool StepSlider(MoviePlayback& playback, const PointerTarget& stop, int steps) {
    const auto* slider = std::get_if<SliderItem>(stop.item);
    if (!slider) return false;
    const ClipInstance* instance = playback.FindInstance(stop.instance);
    if (!instance) return false;
    const int step = std::max(1, (slider->max - slider->min) / 20);
    const int value = playback.SliderValue(*instance, *slider) + steps * step;
    playback.SetSliderValue(stop.instance, *slider, value);  // kept within its limits
    return true;
}

}  // namespace player
