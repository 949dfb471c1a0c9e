// What a window keeps for painting (see paint.h).
#pragma once

#include <optional>

#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"

struct WindowPaintState {
    Region update;  // invalid pixels, client coordinates
    bool erase = false;
    SurfacePtr surface;           // top-level windows only
    std::optional<Region> shape;  // top-level windows only: the window region
};
