#include "xlib.h"

#include "x11_desktop.h"

#include <X11/Xatom.h>

#include <string>

namespace {

Atom Intern(Display* display, const char* name) {
    return XInternAtom(display, name, False);
}

// A property's items of `format` bits; empty when absent or of another type.
template <typename T>
std::vector<T> ReadProperty(Display* display, Window window, Atom property, Atom type) {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<T> out;
    if (XGetWindowProperty(display, window, property, 0, 1 << 16, False, type, &actualType,
                           &actualFormat, &count, &after, &data) != Success)
        return out;
    if (data && actualType == type) {
        if constexpr (sizeof(T) == 1) {
            if (actualFormat == 8) out.assign(data, data + count);
        } else {
            // Xlib hands 32-bit items over as longs.
            if (actualFormat == 32) {
                const auto* items = reinterpret_cast<const long*>(data);
                for (unsigned long i = 0; i < count; ++i)
                    out.push_back(static_cast<T>(items[i]));
            }
        }
    }
    if (data) XFree(data);
    return out;
}

std::optional<std::string> NetWmName(Display* display, Window window) {
    const auto bytes = ReadProperty<unsigned char>(display, window, Intern(display, "_NET_WM_NAME"),
                                                   Intern(display, "UTF8_STRING"));
    if (bytes.empty()) return std::nullopt;
    return std::string(bytes.begin(), bytes.end());
}

std::optional<std::string> WmName(Display* display, Window window) {
    XTextProperty property{};
    if (!XGetWMName(display, window, &property) || !property.value) return std::nullopt;
    std::optional<std::string> title;
    char** list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(display, &property, &list, &count) >= Success && count > 0 &&
        list)
        title = list[0];
    if (list) XFreeStringList(list);
    XFree(property.value);
    return title;
}

void SendClientMessage(Display* display, Window window, Atom type, long a, long b) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    event.xclient.data.l[0] = a;
    event.xclient.data.l[1] = b;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

bool HasName(Display* display, Window window) {
    return NetWmName(display, window) || WmName(display, window);
}

}  // namespace

bool HasWindowManager(Display* display) {
    const std::string selection = "WM_S" + std::to_string(DefaultScreen(display));
    return XGetSelectionOwner(display, Intern(display, selection.c_str())) != None;
}

std::string ChooseTitle(const std::optional<std::string>& netWmName,
                        const std::optional<std::string>& wmName) {
    if (netWmName) return *netWmName;
    return wmName.value_or("");
}

std::string WindowTitle(Display* display, Window window) {
    return ChooseTitle(NetWmName(display, window), WmName(display, window));
}

long WindowPid(Display* display, Window window) {
    const auto pid =
        ReadProperty<long>(display, window, Intern(display, "_NET_WM_PID"), XA_CARDINAL);
    return pid.empty() ? 0 : pid.front();
}

void SetWindowPid(Display* display, Window window, long pid) {
    XChangeProperty(display, window, Intern(display, "_NET_WM_PID"), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
}

std::vector<Window> TopLevelClients(Display* display) {
    const Window root = DefaultRootWindow(display);
    auto listed = ReadProperty<Window>(display, root, Intern(display, "_NET_CLIENT_LIST_STACKING"),
                                       XA_WINDOW);
    if (listed.empty())
        listed =
            ReadProperty<Window>(display, root, Intern(display, "_NET_CLIENT_LIST"), XA_WINDOW);
    // Minimised windows may be missing from a manager's list while they are iconic;
    // the tree below the root has them all.
    std::vector<Window> out = listed;
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count)) return out;
    for (unsigned int i = 0; i < count; ++i) {
        if (HasName(display, children[i])) {
            out.push_back(children[i]);
            continue;
        }
        // A frame of a window manager: the client is one level down.
        Window* inner = nullptr;
        unsigned int innerCount = 0;
        if (XQueryTree(display, children[i], &rootReturn, &parent, &inner, &innerCount)) {
            for (unsigned int k = 0; k < innerCount; ++k) {
                if (HasName(display, inner[k])) out.push_back(inner[k]);
            }
            if (inner) XFree(inner);
        }
    }
    if (children) XFree(children);
    return out;
}

void IconifyTopLevel(Display* display, Window window) {
    if (HasWindowManager(display))
        XIconifyWindow(display, window, DefaultScreen(display));
    else
        XUnmapWindow(display, window);
    XFlush(display);
}

void RestoreTopLevel(Display* display, Window window) {
    XMapRaised(display, window);
    if (HasWindowManager(display)) ActivateTopLevel(display, window);
    XFlush(display);
}

void ActivateTopLevel(Display* display, Window window) {
    if (HasWindowManager(display)) {
        // Source 2: a request on the user's behalf, which managers honour at once.
        SendClientMessage(display, window, Intern(display, "_NET_ACTIVE_WINDOW"), 2, CurrentTime);
    } else {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, window, &attributes) &&
            attributes.map_state == IsViewable)
            XSetInputFocus(display, window, RevertToParent, CurrentTime);
    }
    XFlush(display);
}
