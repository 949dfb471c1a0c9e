// The dialogs for the window system's requests: message boxes and pop-up menus in
// the wizard's look.
#pragma once

#include <string>
#include <vector>

#include "display_scale.h"
#include "platform/window/menu.h"
#include "platform/window/window.h"

class X11Backend;

// Modal to its owner (the owner's top-level window is disabled meanwhile); the
// window system's messages go on being handled while it is open.
int ShowFltkMessageBox(X11Backend& backend, CWnd* owner, const std::string& text,
                       const std::string& caption, UINT style);
// At `at` on the screen (the window system's screen pixels); the chosen
// identifier, 0 for none.
UINT ShowFltkPopupMenu(const CMenu& menu, POINT at, const DisplayScale& scale);
