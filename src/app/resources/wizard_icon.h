// The program icon (resource ICON 128): a 32 x 32 postage stamp with a small
// landscape, perforated edges see-through.
#pragma once

#include <vector>

#include "platform/base/win_types.h"

constexpr int IDR_MAINFRAME = 128;

// The icon as PNG bytes (drawn once, then kept).
const std::vector<BYTE>& WizardIconPng();
