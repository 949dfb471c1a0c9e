// Window icons: small pictures with their own transparency, shown by the desktop
// (task bar, window switcher). Kept as top-down RGBA so any back end can hand them on.
#pragma once

#include <memory>
#include <vector>

#include "platform/base/win_types.h"

struct WindowIcon {
    LONG width = 0;
    LONG height = 0;
    std::vector<BYTE> rgba;  // width * height * 4 bytes, top row first
};

using HICON = std::shared_ptr<const WindowIcon>;
