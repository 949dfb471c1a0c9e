// Where a slider's track and knob are, and which value a pointer position picks.
#pragma once

#include "movie.h"

namespace player {

struct SliderGeometry {
    RECT track;
    RECT knob;
};

// `box` in stage coordinates.
SliderGeometry SliderLayout(const RECT& box, const SliderItem& slider, int value);
// The value under the pointer's x, clamped to the slider's range.
int SliderValueAt(const RECT& box, const SliderItem& slider, long x);

}  // namespace player
