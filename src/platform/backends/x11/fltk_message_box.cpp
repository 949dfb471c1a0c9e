#include "xlib.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <memory>
#include <optional>

#include "caption_strip.h"
#include "display_scale.h"
#include "fltk_dialogs.h"
#include "key_map.h"
#include "platform/window/message_loop.h"
#include "platform/window/trace.h"
#include "styled_box.h"
#include "surface_view.h"
#include "x11_backend.h"
#include "x11_desktop.h"

namespace {

void WakeLoop() {
    // The loop waits for a message; this one lets it look at the answer.
    MessageQueue::Current()->Post(MSG{nullptr, WM_NULL, 0, 0, 0});
}

// The box on the screen under its own title strip: its drawn pixels, the pointer
// on its buttons and strip, and its keys.
class StyledBoxWindow : public Fl_Window {
public:
    StyledBoxWindow(const std::string& text, const std::string& caption, const BoxLayout& layout,
                    int scale)
        : Fl_Window(1, 1),
          layout_(layout),
          scale_(scale),
          geometry_(LayOutBox(text, layout, scale)),
          captionH_(kCaptionHeight * scale),
          keys_(layout),
          caption_(std::make_unique<Surface>(geometry_.width, captionH_)),
          surface_(std::make_unique<Surface>(geometry_.width, geometry_.height)) {
        end();
        copy_label(caption.c_str());
        box(FL_NO_BOX);
        border(0);
        xclass("ostrel");
        const int height = captionH_ + geometry_.height;
        Fl_Window::size(geometry_.width, height);
        size_range(geometry_.width, height, geometry_.width, height);
        callback(CloseBoxPressed, this);
        Repaint();
    }

    std::optional<int> Answer() const { return answer_; }

    void draw() override {
        int X = 0, Y = 0, W = 0, H = 0;
        fl_clip_box(0, 0, w(), h(), X, Y, W, H);
        DrawSurface(*caption_, RECT{X, Y, X + W, Y + H}, 1);
        DrawSurface(*surface_, RECT{X, Y, X + W, Y + H}, 1, POINT{0, captionH_});
        fl_color(0x17, 0x3F, 0x75);  // sets the box off from the page under it
        fl_rect(0, 0, w(), h());
    }

    int handle(int event) override {
        switch (event) {
            case FL_PUSH:
                if (Fl::event_y() < captionH_) {
                    PressCaption();
                    return 1;
                }
                pressed_ = ButtonAt(geometry_, Fl::event_x(), Fl::event_y() - captionH_);
                if (pressed_) keys_.Focus(*pressed_);
                Repaint();
                return 1;
            case FL_DRAG:
                if (drag_) {
                    position(x() + Fl::event_x_root() - drag_->x,
                             y() + Fl::event_y_root() - drag_->y);
                    drag_ = POINT{Fl::event_x_root(), Fl::event_y_root()};
                }
                return 1;
            case FL_RELEASE: {
                const auto over = ButtonAt(geometry_, Fl::event_x(), Fl::event_y() - captionH_);
                const auto pressed = pressed_;
                const bool closing =
                    closePressed_ &&
                    CaptionPartAt(w(), Fl::event_x(), Fl::event_y(), scale_) == CaptionPart::kClose;
                pressed_.reset();
                drag_.reset();
                closePressed_ = false;
                Repaint();
                if (pressed && over == pressed) Give(layout_.buttons[*pressed].answer);
                if (closing && layout_.escapeAnswer) Give(*layout_.escapeAnswer);
                return 1;
            }
            case FL_KEYDOWN:
            case FL_SHORTCUT: {
                const KeyTranslation key =
                    TranslateKey(Fl::event_key(), Fl::event_text() ? Fl::event_text() : "");
                const auto answer =
                    keys_.Key(key.virtualKey, Fl::event_state(FL_SHIFT) != 0, key.character);
                Repaint();
                if (answer) Give(*answer);
                return 1;  // never left to the toolkit: Escape would close the window
            }
            case FL_FOCUS:
            case FL_UNFOCUS:
            case FL_ENTER:
            case FL_LEAVE:
            case FL_MOVE:
                return 1;
            default:
                return Fl_Window::handle(event);
        }
    }

private:
    // The strip moves the box; its close button answers as Escape does.
    void PressCaption() {
        if (CaptionPartAt(w(), Fl::event_x(), Fl::event_y(), scale_) == CaptionPart::kClose)
            closePressed_ = true;
        else
            drag_ = POINT{Fl::event_x_root(), Fl::event_y_root()};
        Repaint();
    }
    void Repaint() {
        PaintCaption(*caption_, label() ? label() : "", closePressed_, scale_);
        PaintBox(*surface_, layout_, geometry_, keys_.Focused(), pressed_, scale_);
        redraw();
    }
    void Give(int answer) {
        if (answer_) return;
        answer_ = answer;
        WakeLoop();
    }
    // The close box answers as Escape does; a question without Cancel stays open.
    static void CloseBoxPressed(Fl_Widget* widget, void*) {
        auto* self = static_cast<StyledBoxWindow*>(widget);
        if (Fl::event() == FL_SHORTCUT || Fl::event() == FL_KEYDOWN) return;
        if (self->layout_.escapeAnswer) self->Give(*self->layout_.escapeAnswer);
    }

    const BoxLayout& layout_;
    int scale_;
    BoxGeometry geometry_;
    int captionH_;
    BoxKeys keys_;
    std::unique_ptr<Surface> caption_;
    std::unique_ptr<Surface> surface_;
    std::optional<std::size_t> pressed_;
    bool closePressed_ = false;
    std::optional<POINT> drag_;  // the pointer on the screen while the strip is dragged
    std::optional<int> answer_;
};

// The box's owner is disabled and drops keys, and a window manager need not focus
// a new window: once the box is on the screen (a moment at most) it takes the
// keyboard itself.
void TakeKeyboard(Fl_Window& box) {
    XSync(fl_display, False);
    for (int tries = 0; tries < 50; ++tries) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(fl_display, fl_xid(&box), &attributes) &&
            attributes.map_state == IsViewable)
            break;
        Fl::wait(0.01);
    }
    ActivateTopLevel(fl_display, fl_xid(&box));
}

HWND TopLevelOf(HWND window) {
    while (window && window->GetParent())
        window = window->GetParent();
    return window;
}

// Centred on the owner when it is known, else on the screen.
void PlaceBox(Fl_Window& box, CWnd* owner, const DisplayScale& scale) {
    RECT area{0, 0, Fl::w(), Fl::h()};
    if (owner) {
        RECT window;
        owner->GetWindowRect(&window);
        if (window.right > window.left) area = scale.ToScreen(window);
    }
    box.position(area.left + (area.right - area.left - box.w()) / 2,
                 area.top + (area.bottom - area.top - box.h()) / 2);
}

}  // namespace

int ShowFltkMessageBox(X11Backend& backend, CWnd* owner, const std::string& text,
                       const std::string& caption, UINT style) {
    const BoxLayout layout = LayoutFor(style);
    StyledBoxWindow box(text, caption, layout, backend.Scale().factor);
    box.set_modal();
    PlaceBox(box, TopLevelOf(owner), backend.Scale());

    CWnd* disabled = TopLevelOf(owner);
    if (disabled && (!IsWindow(disabled) || !disabled->IsWindowEnabled())) disabled = nullptr;
    if (disabled) disabled->EnableWindow(false);
    box.show();
    TakeKeyboard(box);
    if (const Window ownerXid = backend.XidOf(owner)) {
        XSetTransientForHint(fl_display, fl_xid(&box), ownerXid);
        XFlush(fl_display);
    }
    Trace("message box \"" + caption + "\": " + text);
    RunLoopUntil([&box] { return box.Answer().has_value(); });
    box.hide();
    if (disabled && IsWindow(disabled)) disabled->EnableWindow(true);
    const int answer = box.Answer().value_or(layout.escapeAnswer.value_or(IDCANCEL));
    Trace("message box answered " + std::to_string(answer));
    return answer;
}
