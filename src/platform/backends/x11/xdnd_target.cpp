#include "xdnd_target.h"

#include "xlib.h"

#include <FL/Fl.H>
#include <X11/Xatom.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/system/uri_list.h"
#include "platform/window/dropped_files.h"
#include "platform/window/trace.h"

namespace {

constexpr long kVersion = 5;
// A list longer than this is no list of files a user dragged: it is not read.
constexpr long kMaxListBytes = 1 << 20;

XdndTarget* g_target = nullptr;

int SystemHandler(void* event, void*) {
    return g_target && g_target->Handle(*static_cast<const XEvent*>(event)) ? 1 : 0;
}

struct XFreeLater {
    void operator()(unsigned char* data) const { XFree(data); }
};

}  // namespace

XdndTarget::XdndTarget(Display* display, std::function<CWnd*(Window)> windowOf)
    : display_(display), windowOf_(std::move(windowOf)) {
    const auto atom = [display](const char* name) { return XInternAtom(display, name, False); };
    atoms_ = Atoms{atom("XdndAware"),      atom("XdndEnter"),     atom("XdndPosition"),
                   atom("XdndStatus"),     atom("XdndLeave"),     atom("XdndDrop"),
                   atom("XdndFinished"),   atom("XdndSelection"), atom("XdndTypeList"),
                   atom("XdndActionCopy"), atom("text/uri-list"), atom("OSTREL_DROPPED")};
    g_target = this;
    Fl::add_system_handler(SystemHandler, nullptr);
}

XdndTarget::~XdndTarget() {
    Fl::remove_system_handler(SystemHandler);
    g_target = nullptr;
}

void XdndTarget::MarkAware(Window window) {
    const Atom version = kVersion;
    XChangeProperty(display_, window, atoms_.aware, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&version), 1);
}

bool XdndTarget::Handle(const XEvent& event) {
    if (event.type == SelectionNotify && event.xselection.property == atoms_.property) {
        OnSelectionNotify(event.xselection);
        return true;
    }
    if (event.type != ClientMessage || event.xclient.format != 32) return false;
    const XClientMessageEvent& message = event.xclient;
    if (message.message_type == atoms_.enter)
        OnEnter(message);
    else if (message.message_type == atoms_.position)
        OnPosition(message);
    else if (message.message_type == atoms_.drop)
        OnDrop(message);
    else if (message.message_type == atoms_.leave)
        source_ = 0;
    else
        return false;
    return true;
}

void XdndTarget::OnEnter(const XClientMessageEvent& event) {
    source_ = static_cast<Window>(event.data.l[0]);
    target_ = event.window;
    reading_ = false;
    offersUris_ = OffersUriList(event);
}

// Up to three types ride in the message; more are listed on the source window.
bool XdndTarget::OffersUriList(const XClientMessageEvent& enter) const {
    for (int i = 2; i < 5; ++i)
        if (static_cast<Atom>(enter.data.l[i]) == atoms_.uriList) return true;
    if (!(enter.data.l[1] & 1)) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* raw = nullptr;
    if (XGetWindowProperty(display_, source_, atoms_.typeList, 0, 256, False, XA_ATOM, &type,
                           &format, &count, &after, &raw) != Success)
        return false;
    const std::unique_ptr<unsigned char, XFreeLater> data(raw);
    if (type != XA_ATOM || format != 32 || !data) return false;
    const auto* atoms = reinterpret_cast<const Atom*>(data.get());
    for (unsigned long i = 0; i < count; ++i)
        if (atoms[i] == atoms_.uriList) return true;
    return false;
}

bool XdndTarget::TakesDropNow(Window target) const {
    CWnd* window = windowOf_(target);
    return offersUris_ && window && AcceptsDroppedFiles(window);
}

// The whole window answers alike, so the source is asked for every move
// (an empty rectangle): the answer changes when a transfer starts or ends.
void XdndTarget::OnPosition(const XClientMessageEvent& event) {
    if (static_cast<Window>(event.data.l[0]) != source_ || event.window != target_) return;
    const bool take = TakesDropNow(target_);
    Send(source_, atoms_.status, take ? 3 : 2, 0, 0,
         take ? static_cast<long>(atoms_.actionCopy) : 0);
}

void XdndTarget::OnDrop(const XClientMessageEvent& event) {
    if (static_cast<Window>(event.data.l[0]) != source_ || event.window != target_) return;
    if (!TakesDropNow(target_)) return Finish(false);
    reading_ = true;
    XConvertSelection(display_, atoms_.selection, atoms_.uriList, atoms_.property, target_,
                      static_cast<Time>(event.data.l[2]));
    XFlush(display_);
}

void XdndTarget::OnSelectionNotify(const XSelectionEvent& event) {
    if (!reading_ || event.requestor != target_ || event.selection != atoms_.selection) return;
    reading_ = false;
    Atom type = None;
    int format = 0;
    unsigned long length = 0, after = 0;
    unsigned char* raw = nullptr;
    const bool read =
        XGetWindowProperty(display_, target_, atoms_.property, 0, kMaxListBytes / 4, True,
                           AnyPropertyType, &type, &format, &length, &after, &raw) == Success;
    const std::unique_ptr<unsigned char, XFreeLater> data(raw);
    if (!read || !data || format != 8 || after != 0 || type != atoms_.uriList) {
        Trace("drop of an unreadable list refused");
        return Finish(false);
    }
    const std::string_view list(reinterpret_cast<const char*>(data.get()), length);
    CWnd* window = windowOf_(target_);
    Finish(window && DropFiles(window, PathsOfUriList(list)));
}

void XdndTarget::Finish(bool accepted) {
    if (source_)
        Send(source_, atoms_.finished, accepted ? 1 : 0,
             accepted ? static_cast<long>(atoms_.actionCopy) : 0, 0, 0);
    source_ = 0;
}

void XdndTarget::Send(Window to, Atom type, long l1, long l2, long l3, long l4) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.display = display_;
    event.xclient.window = to;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(target_);
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(display_, to, False, NoEventMask, &event);
    XFlush(display_);
}
