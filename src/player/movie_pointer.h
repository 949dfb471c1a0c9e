// The mouse on the stage: which button, slider or hover area is under it, the
// tip it puts in "tt", button clicks and slider drags.
#pragma once

#include <cstdint>
#include <optional>

#include "movie_playback.h"

namespace player {

// An item of a clip instance (or of the main timeline).
struct PointerTarget {
    std::uint64_t instance = 0;
    const Item* item = nullptr;
    POINT origin{};  // the instance's stage position when found

    bool operator==(const PointerTarget& other) const {
        return instance == other.instance && item == other.item;
    }
    explicit operator bool() const { return item != nullptr; }
};

// The topmost button, slider or hover area under the point.
PointerTarget HitTest(const MoviePlayback& playback, POINT point);

// An item's box in stage coordinates.
RECT StageBox(const Box& box, POINT origin);

class MoviePointer {
public:
    explicit MoviePointer(MoviePlayback& playback) : playback_(playback) {}

    // True when the press went to a button or slider (the window then captures the mouse).
    bool Press(POINT point);
    void Release(POINT point);
    void Move(POINT point);
    // The press ended elsewhere (capture lost): no click.
    void Cancel();
    // Looks again at what is under the pointer after the movie changed.
    void Refresh();

    const PointerTarget& Hover() const { return hover_; }
    bool Busy() const { return pressed_ || dragging_; }

private:
    void UpdateHover(POINT point);
    void Drag(POINT point);

    MoviePlayback& playback_;
    PointerTarget hover_, pressed_, dragging_;
    std::optional<POINT> last_;
};

}  // namespace player
