// Keys from the display turned into the window system's: a virtual-key code for
// WM_KEYDOWN / WM_KEYUP and, for keys that type something, the character for WM_CHAR.
#pragma once

#include <optional>
#include <string>

#include "platform/window/win_messages.h"

struct KeyTranslation {
    WPARAM virtualKey = 0;              // 0: no key of the window system
    std::optional<char32_t> character;  // what WM_CHAR carries
};

// `key` is the toolkit's key code (FL_Enter, 'a', ...), `text` the UTF-8 the key typed.
KeyTranslation TranslateKey(int key, const std::string& text);
