// The stage's stops for the keyboard: its buttons and sliders in drawing order,
// and what a key does to one of them.
#pragma once

#include <vector>

#include "movie_pointer.h"

namespace player {

std::vector<PointerTarget> KeyStops(const MoviePlayback& playback);

// The stop's box in stage coordinates.
RECT KeyStopBox(const PointerTarget& stop);

// The index after `at` (before it when `backwards`) among `count` stops; from -1
// the first (the last); -1 past either end.
int NextKeyStop(int at, int count, bool backwards);

// Runs a button's actions as a click on it does; false for a slider.
bool PressKeyStop(MoviePlayback& playback, const PointerTarget& stop);

// Moves a slider by `steps` twentieths of its range (at least 1 each), within its
// limits; the change sends its command as a drag does. False for a button.
bool StepSlider(MoviePlayback& playback, const PointerTarget& stop, int steps);

}  // namespace player
