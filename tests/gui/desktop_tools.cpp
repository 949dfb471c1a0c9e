#include "desktop_tools.h"

#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

int RunShell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunShellWith(const std::map<std::string, std::string>& env, const std::string& command) {
    std::string assignments;
    for (const auto& [name, value] : env)
        assignments += name + "='" + value + "' ";
    return RunShell(assignments + command);
}

std::string Capture(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    pclose(pipe);
    return out;
}

bool WaitFor(const std::function<bool()>& done, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

pid_t Start(const std::string& program, const std::map<std::string, std::string>& env,
            const std::string& errorFile, const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid != 0) return pid;
    for (const auto& [name, value] : env)
        setenv(name.c_str(), value.c_str(), 1);
    if (!std::freopen(errorFile.c_str(), "w", stderr)) _exit(126);
    if (!std::freopen("/dev/null", "w", stdout)) _exit(126);
    execv(program.c_str(), argv.data());
    _exit(127);
}

int WaitForExit(pid_t pid, double seconds) {
    int status = 0;
    const bool ended = WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, seconds);
    if (!ended) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    if (WaitForExit(pid, 5) == -1) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

std::map<std::string, std::string> OwnHome(const std::string& dir) {
    const std::filesystem::path home = dir;
    std::filesystem::create_directories(home / "runtime");
    std::filesystem::permissions(home / "runtime", std::filesystem::perms::owner_all);
    return {{"OSTREL_REGISTRY", (home / "registry.reg").string()},
            {"XDG_RUNTIME_DIR", (home / "runtime").string()},
            {"XDG_DATA_HOME", (home / "data").string()},
            {"HOME", home.string()},
            {"LC_ALL", "C"}};
}

std::string ScreensFolder(const std::string& fallback) {
    const char* wanted = std::getenv("OSTREL_GUI_SCREENS");
    const std::string folder = wanted ? wanted : fallback;
    std::filesystem::create_directories(folder);
    return folder;
}

pid_t StartWindowManager() {
    if (RunShell("command -v openbox > /dev/null") != 0) return -1;
    // The server outlives its clients (no reset): a manager that ran before left
    // its mark on the root window, which must not pass for this one's.
    RunShell("xprop -root -remove _NET_SUPPORTING_WM_CHECK 2>/dev/null");
    const pid_t manager = Start("/usr/bin/openbox", {}, "/dev/null");
    WaitFor(
        [] {
            return RunShell(
                       "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'") ==
                   0;
        },
        30);
    // Marked is not yet managing: on a loaded machine a window mapped at once can
    // be lost while the manager still sets up. A probe window it has taken in
    // (given a state) says it is ready.
    const std::string probe = OpenTitledWindow("window manager probe");
    WaitFor([&] { return WmState(probe) == "Normal"; }, 30);
    CloseTitledWindow(probe);
    return manager;
}

std::vector<std::string> WindowsTitled(const std::string& title) {
    std::istringstream lines(Capture("xdotool search --name '^" + title + "$' 2>/dev/null"));
    std::vector<std::string> out;
    for (std::string line; std::getline(lines, line);) {
        // Only windows carrying exactly this title (the search matches patterns).
        if (!line.empty() && Capture("xdotool getwindowname " + line) == title + "\n")
            out.push_back(line);
    }
    return out;
}

Geometry WindowGeometry(const std::string& window) {
    Geometry g;
    std::istringstream lines(Capture("xdotool getwindowgeometry --shell " + window));
    for (std::string line; std::getline(lines, line);) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        const int value = std::atoi(line.c_str() + eq + 1);
        if (key == "X") g.x = value;
        if (key == "Y") g.y = value;
        if (key == "WIDTH") g.width = value;
        if (key == "HEIGHT") g.height = value;
    }
    return g;
}

namespace {

// The value after `key` in the tools' output, up to the line's end or the next space.
std::string ValueAfter(const std::string& text, const std::string& key) {
    const auto at = text.find(key);
    if (at == std::string::npos) return "";
    const auto start = at + key.size();
    return text.substr(start, text.find_first_of(" \n", start) - start);
}

}  // namespace

Geometry FramedGeometry(const std::string& window) {
    // The window manager's frame is the ancestor whose parent is the root.
    std::string top = window;
    for (int depth = 0; depth < 8; ++depth) {
        const std::string tree = Capture("xwininfo -tree -id " + top + " 2>/dev/null");
        const std::string parent = ValueAfter(tree, "Parent window id: ");
        if (parent.empty() || parent == ValueAfter(tree, "Root window id: ")) break;
        top = parent;
    }
    const std::string info = Capture("xwininfo -id " + top + " 2>/dev/null");
    return Geometry{std::atoi(ValueAfter(info, "Absolute upper-left X:  ").c_str()),
                    std::atoi(ValueAfter(info, "Absolute upper-left Y:  ").c_str()),
                    std::atoi(ValueAfter(info, "Width: ").c_str()),
                    std::atoi(ValueAfter(info, "Height: ").c_str())};
}

std::string MapState(const std::string& window) {
    const std::string info = Capture("xwininfo -id " + window);
    const auto at = info.find("Map State: ");
    if (at == std::string::npos) return "";
    return info.substr(at + 11, info.find('\n', at) - at - 11);
}

std::string WmState(const std::string& window) {
    const std::string state = Capture("xprop -id " + window + " WM_STATE 2>/dev/null");
    if (state.find("Iconic") != std::string::npos) return "Iconic";
    if (state.find("Normal") != std::string::npos) return "Normal";
    return "";
}

namespace {

// Kept open: the windows made here live as long as the connection.
Display* TestDisplay() {
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

}  // namespace

std::string OpenTitledWindow(const std::string& title) {
    Display* display = TestDisplay();
    if (!display) return "";
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 40, 40, 200, 120, 0, 0, 0x808080);
    XStoreName(display, window, title.c_str());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
    XMapWindow(display, window);
    XSync(display, False);
    return std::to_string(window);
}

void CloseTitledWindow(const std::string& window) {
    Display* display = TestDisplay();
    if (!display || window.empty()) return;
    XDestroyWindow(display, static_cast<Window>(std::stoul(window)));
    XSync(display, False);
}

bool ShowBackdrop(unsigned char red, unsigned char green, unsigned char blue) {
    Display* display = TestDisplay();
    if (!display) return false;
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;  // no window manager frames or moves it
    attributes.background_pixel =
        (static_cast<unsigned long>(red) << 16) | (static_cast<unsigned long>(green) << 8) | blue;
    const Window backdrop =
        XCreateWindow(display, DefaultRootWindow(display), 0, 0, DisplayWidth(display, screen),
                      DisplayHeight(display, screen), 0, CopyFromParent, InputOutput,
                      CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapWindow(display, backdrop);
    XLowerWindow(display, backdrop);
    XSync(display, False);
    return true;
}

void ClickAt(int x, int y) {
    RunShell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) +
             " sleep 0.1 click 1");
}

void Keys(const std::string& keys) {
    RunShell("xdotool key --delay 80 " + keys);
}

void Drag(int fromX, int fromY, int toX, int toY, int steps) {
    const auto at = [](int x, int y) { return std::to_string(x) + " " + std::to_string(y); };
    std::string moves;
    for (int step = 1; step <= steps; ++step) {
        moves +=
            " mousemove " +
            at(fromX + 1 + (toX - fromX - 1) * step / steps, fromY + (toY - fromY) * step / steps) +
            " sleep 0.1";
    }
    RunShell("xdotool mousemove " + at(fromX - 1, fromY) + " sleep 0.1 mousemove " +
             at(fromX, fromY) + " sleep 0.2 mousedown 1 sleep 0.2 mousemove " +
             at(fromX + 1, fromY) + " sleep 0.2" + moves + " sleep 0.2 mouseup 1 sleep 0.2");
}

void TypeIntoWindow(const std::string& window, const std::string& text) {
    // With or without a window manager to hand out the focus.
    RunShell("xdotool windowactivate " + window + " 2>/dev/null; xdotool windowfocus " + window +
             " 2>/dev/null; sleep 0.5");
    // The whole name field selected the way both the desktop's chooser and the
    // toolkit's own understand.
    Keys("Home shift+End");
    RunShell("xdotool type --delay 40 '" + text + "'");
    Keys("Return");
}

bool ScreenShot(const std::string& path, PxImage& picture) {
    if (RunShell("xwd -root -silent | convert xwd:- png:'" + path + "'") != 0) return false;
    return picture.Load(path.c_str(), PX_FORMAT_PNG, true);
}

bool CropTo(const std::string& from, const Geometry& area, const std::string& to) {
    return RunShell("convert '" + from + "' -crop " + std::to_string(area.width) + "x" +
                    std::to_string(area.height) + "+" + std::to_string(area.x) + "+" +
                    std::to_string(area.y) + " +repage '" + to + "'") == 0;
}

COLORREF ScreenPixel(const PxImage& picture, int x, int y) {
    const RGBQUAD c =
        picture.GetPixelColor(x, static_cast<LONG>(picture.GetHeight()) - 1 - y);  // bottom-up
    return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

namespace {

bool SameArea(const PxImage& a, const PxImage& b, const Geometry& area) {
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x)
            if (ScreenPixel(a, x, y) != ScreenPixel(b, x, y)) return false;
    return true;
}

}  // namespace

bool WaitUntilStill(const Geometry& area, const std::string& scratch, double seconds) {
    PxImage last;
    if (!ScreenShot(scratch, last)) return false;
    int same = 0;
    return WaitFor(
        [&] {
            RunShell("sleep 0.3");
            PxImage now;
            if (!ScreenShot(scratch, now)) return false;
            same = SameArea(last, now, area) ? same + 1 : 0;
            last = now;
            return same >= 2;
        },
        seconds);
}
