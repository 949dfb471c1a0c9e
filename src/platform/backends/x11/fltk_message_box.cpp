#include "xlib.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "box_buttons.h"
#include "fltk_dialogs.h"
#include "platform/window/message_loop.h"
#include "platform/window/trace.h"
#include "x11_backend.h"
#include "x11_desktop.h"

namespace {

constexpr int kMargin = 14;
constexpr int kIconSize = 32;
constexpr int kButtonW = 84;
constexpr int kButtonH = 26;
constexpr int kMaxTextW = 420;

// The style's icon: a round sign with a symbol, in the colours people know.
class BoxIconView : public Fl_Box {
public:
    BoxIconView(int x, int y, BoxIcon icon) : Fl_Box(x, y, kIconSize, kIconSize), icon_(icon) {}
    void draw() override {
        Fl_Color colour = FL_BLUE;
        const char* symbol = "i";
        switch (icon_) {
            case BoxIcon::kError:
                colour = fl_rgb_color(200, 40, 40), symbol = "X";
                break;
            case BoxIcon::kQuestion:
                colour = fl_rgb_color(40, 90, 200), symbol = "?";
                break;
            case BoxIcon::kWarning:
                colour = fl_rgb_color(230, 170, 0), symbol = "!";
                break;
            default:
                colour = fl_rgb_color(40, 90, 200);
        }
        fl_color(colour);
        fl_pie(x(), y(), w(), h(), 0, 360);
        fl_color(FL_WHITE);
        fl_font(FL_HELVETICA_BOLD, 20);
        fl_draw(symbol, x(), y(), w(), h(), FL_ALIGN_CENTER);
    }

private:
    BoxIcon icon_;
};

struct BoxState {
    std::optional<int> answer;
    std::optional<int> escapeAnswer;
};

void Answer(BoxState& state, int answer) {
    state.answer = answer;
    // The loop below waits for a message; this one lets it look at the answer.
    MessageQueue::Current()->Post(MSG{nullptr, WM_NULL, 0, 0, 0});
}

class BoxWindow : public Fl_Window {
public:
    BoxWindow(int w, int h, const char* title, BoxState& state)
        : Fl_Window(w, h, title), state_(state) {}
    // Escape and the close box answer Cancel where the box has one.
    int handle(int event) override {
        if ((event == FL_SHORTCUT || event == FL_KEYDOWN) && Fl::event_key() == FL_Escape) {
            if (state_.escapeAnswer) Answer(state_, *state_.escapeAnswer);
            return 1;
        }
        return Fl_Window::handle(event);
    }

private:
    BoxState& state_;
};

struct ButtonTarget {
    BoxState* state;
    int answer;
};

void ButtonPressed(Fl_Widget*, void* data) {
    auto* target = static_cast<ButtonTarget*>(data);
    Answer(*target->state, target->answer);
}

void CloseBoxPressed(Fl_Widget*, void* data) {
    auto* state = static_cast<BoxState*>(data);
    if (Fl::event() == FL_SHORTCUT || Fl::event() == FL_KEYDOWN) return;
    if (state->escapeAnswer) Answer(*state, *state->escapeAnswer);
}

HWND TopLevelOf(HWND window) {
    while (window && window->GetParent())
        window = window->GetParent();
    return window;
}

// Centred on the owner when it is known, else on the screen.
void PlaceBox(Fl_Window& box, CWnd* owner) {
    RECT area{0, 0, Fl::w(), Fl::h()};
    if (owner) owner->GetWindowRect(&area);
    if (area.right - area.left <= 0) area = RECT{0, 0, Fl::w(), Fl::h()};
    box.position(area.left + (area.right - area.left - box.w()) / 2,
                 area.top + (area.bottom - area.top - box.h()) / 2);
}

}  // namespace

int ShowFltkMessageBox(X11Backend& backend, CWnd* owner, const std::string& text,
                       const std::string& caption, UINT style) {
    const BoxLayout layout = LayoutFor(style);
    BoxState state;
    state.escapeAnswer = layout.escapeAnswer;

    fl_font(FL_HELVETICA, 14);
    int textW = kMaxTextW, textH = 0;
    fl_measure(text.c_str(), textW, textH, 0);
    textW = std::min(std::max(textW, 120), kMaxTextW);
    textH = std::max(textH, kIconSize);
    const int iconW = layout.icon == BoxIcon::kNone ? 0 : kIconSize + kMargin;
    const int buttonsW = static_cast<int>(layout.buttons.size()) * (kButtonW + 8) - 8;
    const int width = std::max(kMargin + iconW + textW + kMargin, buttonsW + 2 * kMargin);
    const int height = kMargin + textH + kMargin + kButtonH + kMargin;

    BoxWindow box(width, height, caption.c_str(), state);
    box.set_modal();
    box.callback(CloseBoxPressed, &state);
    if (layout.icon != BoxIcon::kNone) new BoxIconView(kMargin, kMargin, layout.icon);
    auto* label = new Fl_Box(kMargin + iconW, kMargin, textW, textH);
    label->copy_label(text.c_str());
    label->labelfont(FL_HELVETICA);
    label->labelsize(14);
    label->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
    std::vector<ButtonTarget> targets;
    targets.reserve(layout.buttons.size());
    int bx = (width - buttonsW) / 2;
    const int by = height - kMargin - kButtonH;
    for (std::size_t i = 0; i < layout.buttons.size(); ++i, bx += kButtonW + 8) {
        targets.push_back(ButtonTarget{&state, layout.buttons[i].answer});
        Fl_Button* button = i == layout.defaultButton
                                ? new Fl_Return_Button(bx, by, kButtonW, kButtonH)
                                : new Fl_Button(bx, by, kButtonW, kButtonH);
        button->copy_label(layout.buttons[i].label.c_str());
        button->callback(ButtonPressed, &targets.back());
    }
    box.end();
    PlaceBox(box, TopLevelOf(owner));

    CWnd* disabled = TopLevelOf(owner);
    if (disabled && (!IsWindow(disabled) || !disabled->IsWindowEnabled())) disabled = nullptr;
    if (disabled) disabled->EnableWindow(false);
    box.show();
    if (!HasWindowManager(fl_display)) {
        XSync(fl_display, False);
        ActivateTopLevel(fl_display, fl_xid(&box));
    }
    if (const Window ownerXid = backend.XidOf(owner)) {
        XSetTransientForHint(fl_display, fl_xid(&box), ownerXid);
        XFlush(fl_display);
    }
    Trace("message box \"" + caption + "\": " + text);
    RunLoopUntil([&state] { return state.answer.has_value(); });
    box.hide();
    if (disabled && IsWindow(disabled)) disabled->EnableWindow(true);
    const int answer = state.answer.value_or(layout.escapeAnswer.value_or(IDCANCEL));
    Trace("message box answered " + std::to_string(answer));
    return answer;
}
