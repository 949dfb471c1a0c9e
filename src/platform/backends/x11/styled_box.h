// A message box in the wizard's look, drawn by the software GDI: the sign icon,
// the text in the movie's font on the page colour, and the buttons right-aligned
// under a rule. The focused button is the blue one: Enter presses it, Tab and the
// arrows move it, a button's underlined letter presses that button. Sizes are in
// screen pixels at `scale`.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "box_buttons.h"
#include "platform/gdi/surface.h"
#include "platform/window/win_messages.h"

struct BoxGeometry {
    std::string lines;  // the text, with breaks where a word is wider than the box
    LONG width = 0, height = 0;
    RECT icon{};  // empty without an icon
    RECT text{};
    LONG ruleY = 0;
    std::vector<RECT> buttons;
};

BoxGeometry LayOutBox(const std::string& text, const BoxLayout& layout, int scale);

// The box drawn on a surface of the geometry's size.
void PaintBox(Surface& target, const BoxLayout& layout, const BoxGeometry& geometry,
              std::size_t focused, std::optional<std::size_t> pressed, int scale);

// The button at a point of the box, if any.
std::optional<std::size_t> ButtonAt(const BoxGeometry& geometry, LONG x, LONG y);

// The box's keyboard.
class BoxKeys {
public:
    explicit BoxKeys(const BoxLayout& layout) : layout_(layout), focused_(layout.defaultButton) {}
    std::size_t Focused() const { return focused_; }
    void Focus(std::size_t button) {
        if (button < layout_.buttons.size()) focused_ = button;
    }
    // A key pressed in the box (a virtual key, or 0 with the character typed): the
    // answer it gives, if any.
    std::optional<int> Key(WPARAM virtualKey, bool shift, std::optional<char32_t> character);

private:
    void Move(int step);

    BoxLayout layout_;
    std::size_t focused_;
};

// The letter after "&" in a label, lower-cased; 0 when there is none.
char32_t ShortcutLetter(const std::string& label);
