// Window icons: small pictures with their own transparency, shown by the desktop
// (task bar, window switcher). Kept as top-down RGBA so any back end can hand them on.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/base/win_types.h"

struct WindowIcon {
    LONG width = 0;
    LONG height = 0;
    std::vector<BYTE> rgba;  // width * height * 4 bytes, top row first
};

using HICON = std::shared_ptr<const WindowIcon>;

// Icon resources by identifier, decoded by whoever knows their format (the
// program installs the loader); null when there is none or it knows no such icon.
using IconLoader = std::function<HICON(int id)>;
// Installs the loader (empty removes it) and returns the previous one.
IconLoader SetIconLoader(IconLoader loader);
HICON LoadIcon(int id);
