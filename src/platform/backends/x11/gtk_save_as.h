// A GTK 3 file chooser of our own, for a desktop without a portal. GTK runs its
// own event loop on the user-interface thread while the chooser is open; it talks
// to the X server over a connection of its own.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct GtkSaveQuestion {
    unsigned long parent = 0;  // X window the chooser stays above; 0: none
    std::string title;
    std::string folder;
    std::string name;
    // Name and "*.ext" patterns of each filter.
    std::vector<std::pair<std::string, std::vector<std::string>>> filters;
};

// The path chosen, "" when cancelled; nothing when GTK cannot open the display.
// `own` is the program's other connection to the X server: its errors stay its
// own, and `ownEvents` is called whenever events arrive on it while the chooser
// is open, so the program's windows go on showing themselves.
std::optional<std::string> RunGtkSaveAs(const GtkSaveQuestion& question, Display* own,
                                        const std::function<void()>& ownEvents);
