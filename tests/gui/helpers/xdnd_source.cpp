// xdnd_source WINDOW X Y LIST: drags LIST (a "text/uri-list") from a window of
// its own onto the X window WINDOW at the screen point (X, Y) and drops it there,
// as a file manager does, speaking the X drag-and-drop protocol itself. It prints
// what the target answered:
//   status ACCEPT ACTION     to the position (ACTION the atom's name or None)
//   finished ACCEPTED ACTION to the drop
// Exit 0 when the drop was taken, 1 when refused, 2 when the target fell silent.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

Display* g_display;
Window g_source, g_target;

Atom A(const char* name) {
    return XInternAtom(g_display, name, False);
}

std::string Name(Atom atom) {
    if (atom == None) return "None";
    char* name = XGetAtomName(g_display, atom);
    std::string text = name ? name : "?";
    if (name) XFree(name);
    return text;
}

void Send(const char* type, long l1, long l2, long l3, long l4) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = g_target;
    event.xclient.message_type = A(type);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(g_source);
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(g_display, g_target, False, NoEventMask, &event);
    XFlush(g_display);
}

// The list goes to whoever asks for it as "text/uri-list".
void AnswerRequest(const XSelectionRequestEvent& request, const std::string& list) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = None;
    if (request.target == A("text/uri-list")) {
        XChangeProperty(g_display, request.requestor, request.property, request.target, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(list.data()),
                        static_cast<int>(list.size()));
        reply.xselection.property = request.property;
    }
    XSendEvent(g_display, request.requestor, False, NoEventMask, &reply);
    XFlush(g_display);
}

// Waits (10 s at most) for the client message `type`, answering selection
// requests meanwhile; false when none came.
bool WaitFor(const char* type, XClientMessageEvent& got, const std::string& list) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
        while (XPending(g_display)) {
            XEvent event;
            XNextEvent(g_display, &event);
            if (event.type == SelectionRequest) AnswerRequest(event.xselectionrequest, list);
            if (event.type == ClientMessage && event.xclient.message_type == A(type)) {
                got = event.xclient;
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

long AwareVersion() {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long version = 0;
    if (XGetWindowProperty(g_display, g_target, A("XdndAware"), 0, 1, False, XA_ATOM, &type,
                           &format, &count, &after, &data) == Success &&
        data && count == 1)
        version = static_cast<long>(*reinterpret_cast<Atom*>(data));
    if (data) XFree(data);
    return version;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: xdnd_source WINDOW X Y LIST\n");
        return 2;
    }
    g_display = XOpenDisplay(nullptr);
    if (!g_display) return 2;
    g_target = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
    const long x = std::atol(argv[2]), y = std::atol(argv[3]);
    const std::string list = argv[4];
    const long version = AwareVersion();
    std::printf("aware %ld\n", version);
    if (version < 3) return 1;
    g_source = XCreateSimpleWindow(g_display, DefaultRootWindow(g_display), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(g_display, A("XdndSelection"), g_source, CurrentTime);
    Send("XdndEnter", std::min(version, 5L) << 24, static_cast<long>(A("text/uri-list")), 0, 0);
    Send("XdndPosition", 0, (x << 16) | y, CurrentTime, static_cast<long>(A("XdndActionCopy")));
    XClientMessageEvent status{}, finished{};
    if (!WaitFor("XdndStatus", status, list)) return 2;
    const bool accept = status.data.l[1] & 1;
    std::printf("status %d %s\n", accept ? 1 : 0, Name(status.data.l[4]).c_str());
    if (!accept) {
        Send("XdndLeave", 0, 0, 0, 0);
        return 1;
    }
    Send("XdndDrop", 0, CurrentTime, 0, 0);
    if (!WaitFor("XdndFinished", finished, list)) return 2;
    const bool taken = finished.data.l[1] & 1;
    std::printf("finished %d %s\n", taken ? 1 : 0, Name(finished.data.l[2]).c_str());
    return taken ? 0 : 1;
}
