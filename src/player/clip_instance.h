// A timeline being played: the main timeline, or an instance of a clip placed
// by a frame. Each has its own playhead and the instances its frame places.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "movie.h"

namespace player {

struct ClipInstance {
    std::uint64_t id = 0;  // unique for the life of the playback
    std::string name;      // empty for the main timeline
    int clip = -1;         // index in Movie::clips; -1 for the main timeline
    const Timeline* timeline = nullptr;
    int frame = 0;
    bool playing = true;
    bool alive = true;  // false once its parent's frame no longer places it
    std::uint64_t bornTick = 0;
    POINT offset{};  // where its parent's frame places it
    // The instances the current frame places, in placing order.
    std::vector<std::shared_ptr<ClipInstance>> children;
    // Slider values, kept while the instance lives.
    std::map<const SliderItem*, int> sliders;

    const Frame& CurrentFrame() const { return timeline->frames[static_cast<std::size_t>(frame)]; }
    int LastFrame() const { return static_cast<int>(timeline->frames.size()) - 1; }
};

}  // namespace player
