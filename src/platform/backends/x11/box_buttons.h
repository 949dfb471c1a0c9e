// What a message box style asks for: its buttons in order with their answers,
// the default button (Enter), the answer of Escape or the close box, and the icon.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/base/win_types.h"

struct BoxButton {
    std::string label;  // "&" marks the shortcut letter
    int answer;         // IDOK, IDCANCEL, ...
};

enum class BoxIcon { kNone, kError, kQuestion, kWarning, kInformation };

struct BoxLayout {
    std::vector<BoxButton> buttons;
    std::size_t defaultButton = 0;
    std::optional<int> escapeAnswer;  // none: Escape and the close box do nothing
    BoxIcon icon = BoxIcon::kNone;
};

BoxLayout LayoutFor(UINT style);
