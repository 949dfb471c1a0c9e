// The program icon (resource ICON 128): a 32 x 32 postage stamp with a small
// landscape, perforated edges see-through.
#pragma once

#include <vector>

#include "imaging/px_image.h"
#include "platform/base/win_types.h"
#include "platform/window/window_icon.h"

constexpr int IDR_MAINFRAME = 128;

// The icon as PNG bytes (drawn once, then kept).
const std::vector<BYTE>& WizardIconPng();

// The picture as a window icon (top-down RGBA); null for an invalid picture.
HICON WindowIconFromImage(const PxImage& image);
