// Other programs' top-level windows, found by exact title on the X display and
// stood in for by window objects whose show commands act on the real window.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/window/window.h"

class X11ForeignWindow : public CWnd {
public:
    X11ForeignWindow(Display* display, Window xid, const std::string& title);
    // Minimise, restore or show the real window; never a window of this process.
    bool ShowWindow(int command) override;
    Window Xid() const { return xid_; }

private:
    Display* display_;
    Window xid_;
};

class X11ForeignFinder {
public:
    explicit X11ForeignFinder(Display* display) : display_(display) {}
    // A window of another process titled exactly `title`, or null. The object
    // lives as long as the finder.
    CWnd* Find(const std::string& title);

private:
    Display* display_;
    std::vector<std::unique_ptr<X11ForeignWindow>> found_;
};
