// What the desktop does with top-level X windows, ours or another program's:
// titles, minimising, restoring and activating, with or without a window manager.
#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <vector>

// Whether a window manager runs on the display's default screen.
bool HasWindowManager(Display* display);

// The title the desktop shows: the UTF-8 _NET_WM_NAME when set, else WM_NAME.
std::string ChooseTitle(const std::optional<std::string>& netWmName,
                        const std::optional<std::string>& wmName);
std::string WindowTitle(Display* display, Window window);

// The process that owns the window (_NET_WM_PID), 0 when unknown.
long WindowPid(Display* display, Window window);
void SetWindowPid(Display* display, Window window, long pid);

// Client top-level windows in stacking order, bottom first: the window manager's
// list when it keeps one, else the root's children and their children.
std::vector<Window> TopLevelClients(Display* display);

// Minimises through the window manager; without one the window is unmapped, which
// its owner takes for minimised.
void IconifyTopLevel(Display* display, Window window);
// Maps, raises and activates the window (restoring it when minimised).
void RestoreTopLevel(Display* display, Window window);
// Gives the window the keyboard: through the window manager when one runs,
// directly otherwise. The window must be mapped.
void ActivateTopLevel(Display* display, Window window);
