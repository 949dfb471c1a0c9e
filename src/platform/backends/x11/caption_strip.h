// The title strip the back end draws above a dialog instead of the desktop's
// frame, in the wizard's look (its own window has the same strip): the blue
// strip with the title and a red close button, dragged to move the dialog. No
// minimise, maximise or resizing, with or without a window manager. Sizes are in
// screen pixels at `scale`.
#pragma once

#include <string>

#include "platform/gdi/surface.h"

constexpr int kCaptionHeight = 26;  // at one screen pixel per pixel

enum class CaptionPart { kNone, kStrip, kClose };

RECT CaptionCloseButton(LONG width, int scale);
// What lies under a point of the strip (window coordinates, screen pixels).
CaptionPart CaptionPartAt(LONG width, LONG x, LONG y, int scale);

// Draws the strip across the top of `target`, `kCaptionHeight * scale` high.
void PaintCaption(Surface& target, const std::string& title, bool closePressed, int scale);
