// Files dragged here from other programs (the X drag-and-drop protocol, version
// 5): the wizard's windows say they take drops; over a window that takes files now
// the source is told the drop would be a copy, elsewhere it is refused; a drop's
// "text/uri-list" is read and its local files go to the window (dropped_files.h).
// Everything the source sends is checked: it is another program's.
#pragma once

#include <X11/Xlib.h>

#include <functional>

class CWnd;

class XdndTarget {
public:
    // `windowOf` gives the window object shown in one of this process's X
    // windows, null for any other. Takes the protocol's events from the toolkit.
    XdndTarget(Display* display, std::function<CWnd*(Window)> windowOf);
    ~XdndTarget();
    XdndTarget(const XdndTarget&) = delete;
    XdndTarget& operator=(const XdndTarget&) = delete;

    // Marks a newly shown X window as one that takes drops.
    void MarkAware(Window window);
    // True when the event belonged to the protocol (and was handled here).
    bool Handle(const XEvent& event);

private:
    struct Atoms {
        Atom aware, enter, position, status, leave, drop, finished, selection, typeList, actionCopy,
            uriList, property;
    };
    void OnEnter(const XClientMessageEvent& event);
    void OnPosition(const XClientMessageEvent& event);
    void OnDrop(const XClientMessageEvent& event);
    void OnSelectionNotify(const XSelectionEvent& event);
    bool OffersUriList(const XClientMessageEvent& enter) const;
    bool TakesDropNow(Window target) const;
    void Send(Window to, Atom type, long l1, long l2, long l3, long l4);
    void Finish(bool accepted);

    Display* display_;
    std::function<CWnd*(Window)> windowOf_;
    Atoms atoms_;
    Window source_ = 0;  // the source of the drag over one of our windows
    Window target_ = 0;
    bool offersUris_ = false;
    bool reading_ = false;  // a drop's list was asked for and has not come
};
