#include "x11_foreign.h"

#include <unistd.h>

#include <algorithm>

#include "platform/window/trace.h"
#include "x11_desktop.h"

X11ForeignWindow::X11ForeignWindow(Display* display, Window xid, const std::string& title)
    : display_(display), xid_(xid) {
    SetWindowText(title);  // never created: it is no window of this process
}

bool X11ForeignWindow::ShowWindow(int command) {
    switch (command) {
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
            IconifyTopLevel(display_, xid_);
            Trace("foreign minimise " + Text());
            return true;
        case SW_HIDE:
            XUnmapWindow(display_, xid_);
            XFlush(display_);
            return true;
        default:
            RestoreTopLevel(display_, xid_);
            Trace("foreign restore " + Text());
            return true;
    }
}

CWnd* X11ForeignFinder::Find(const std::string& title) {
    const long self = static_cast<long>(getpid());
    std::vector<Window> seen;
    const std::vector<Window> clients = TopLevelClients(display_);
    // The top of the stacking order first, as the desktop searches.
    for (auto it = clients.rbegin(); it != clients.rend(); ++it) {
        if (std::find(seen.begin(), seen.end(), *it) != seen.end()) continue;
        seen.push_back(*it);
        if (WindowTitle(display_, *it) != title || WindowPid(display_, *it) == self) continue;
        found_.push_back(std::make_unique<X11ForeignWindow>(display_, *it, title));
        return found_.back().get();
    }
    return nullptr;
}
