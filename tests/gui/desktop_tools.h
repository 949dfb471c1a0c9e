// What the smoke test does on the X display from outside, through the X command-
// line tools: start programs, find windows, move the pointer, press keys, take
// screenshots.
#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "imaging/px_image.h"

// Runs a shell command; its exit code, or -1.
int RunShell(const std::string& command);
// The same with the variables assigned in front of it.
int RunShellWith(const std::map<std::string, std::string>& env, const std::string& command);
// Its standard output.
std::string Capture(const std::string& command);
// Waits (real time, at most `seconds`) until `done` holds.
bool WaitFor(const std::function<bool()>& done, double seconds);

// Starts `program` with the arguments and the extra environment, standard error
// into `errorFile`.
pid_t Start(const std::string& program, const std::map<std::string, std::string>& env,
            const std::string& errorFile, const std::vector<std::string>& args = {});
// Exit code of a started program once it ended within `seconds`; -1 otherwise.
int WaitForExit(pid_t pid, double seconds);
void Stop(pid_t pid);

// A home of the program's own inside `dir`: registry file, HOME, XDG data and
// runtime folders (the runtime one made, owner only) and the C locale.
std::map<std::string, std::string> OwnHome(const std::string& dir);
// Where a test writes its screenshots: OSTREL_GUI_SCREENS, else `fallback`; made.
std::string ScreensFolder(const std::string& fallback);
// A window manager, as on a desktop, when one is installed: started and running
// once it announces itself; -1 without one.
pid_t StartWindowManager();

// X windows titled exactly `title`, mapped or not.
std::vector<std::string> WindowsTitled(const std::string& title);
struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};
Geometry WindowGeometry(const std::string& window);
// The window's place on the screen with the window manager's frame around it.
Geometry FramedGeometry(const std::string& window);
// "IsViewable", "IsUnMapped", ...
std::string MapState(const std::string& window);
// The ICCCM state the window manager gives: "Normal", "Iconic" or "" without one.
std::string WmState(const std::string& window);

// A window of one colour under every other window, as large as the screen, so
// whatever shows it inside another window's box lies outside that window's shape.
// False when the display cannot be opened.
bool ShowBackdrop(unsigned char red, unsigned char green, unsigned char blue);

// A plain window of another program titled `title` (the UTF-8 and the old name),
// mapped; its X id in the form the tools print, empty when it cannot be made.
std::string OpenTitledWindow(const std::string& title);
void CloseTitledWindow(const std::string& window);

void ClickAt(int x, int y);
void Keys(const std::string& keys);
// Presses the left button at (fromX, fromY) after resting there, nudges the pointer
// by a pixel (what is grabbed is decided on the first move with the button down),
// goes to (toX, toY) in `steps` moves and lets go there.
void Drag(int fromX, int fromY, int toX, int toY, int steps = 5);
// Gives `window` the keyboard, replaces the focused field's text with `text` and
// presses Return: answers a file dialog with a name.
void TypeIntoWindow(const std::string& window, const std::string& text);

// The whole screen as a picture, also written as PNG to `path`; the part at
// `area` is written to `cropPath` when given.
bool ScreenShot(const std::string& path, PxImage& picture);
bool CropTo(const std::string& from, const Geometry& area, const std::string& to);
// Colour at a point of the screen picture (top-left origin).
COLORREF ScreenPixel(const PxImage& picture, int x, int y);
// Waits (at most `seconds`) until `area` of the screen shows the same in three
// screenshots in a row, a third of a second apart: whatever played in has
// stopped. `scratch` is where the screenshots are written.
bool WaitUntilStill(const Geometry& area, const std::string& scratch, double seconds);
