// Visiting what is on the stage in drawing order: the items of the current
// frame of each timeline, the items of clip instances where they are placed.
#pragma once

#include <variant>

#include "clip_instance.h"
#include "movie.h"

namespace player {

// Calls visit(instance, origin, item) for every item other than `place` and
// `use`; origin is the stage position of the instance's (0, 0). Clips nest at
// most 8 deep, so the recursion is shallow.
template <typename Visit>
void WalkStage(const Movie& movie, const ClipInstance& instance, POINT origin, Visit&& visit) {
    std::size_t child = 0;
    ForEachItem(movie, instance.CurrentFrame().items, [&](const Item& item) {
        if (!std::holds_alternative<PlaceItem>(item)) {
            visit(instance, origin, item);
            return;
        }
        // The frame's k-th place is the instance's k-th child.
        if (child >= instance.children.size()) return;
        const ClipInstance& placed = *instance.children[child++];
        WalkStage(movie, placed, POINT{origin.x + placed.offset.x, origin.y + placed.offset.y},
                  visit);
    });
}

}  // namespace player
