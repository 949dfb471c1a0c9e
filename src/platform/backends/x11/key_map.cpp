#include "key_map.h"

#include <FL/Enumerations.H>

namespace {

// The first code point of UTF-8 text; nothing for empty or broken text.
std::optional<char32_t> FirstCodePoint(const std::string& text) {
    if (text.empty()) return std::nullopt;
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    if (s[0] < 0x80) return s[0];
    const int length = s[0] >= 0xF0 ? 4 : s[0] >= 0xE0 ? 3 : s[0] >= 0xC0 ? 2 : 0;
    if (length == 0 || n < static_cast<std::size_t>(length) || s[0] >= 0xF8) return std::nullopt;
    char32_t c = s[0] & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (s[i] & 0x3F);
    }
    return c;
}

WPARAM NamedKey(int key) {
    switch (key) {
        case FL_Enter:
        case FL_KP_Enter:
            return VK_RETURN;
        case FL_Escape:
            return VK_ESCAPE;
        case FL_Tab:
            return VK_TAB;
        case FL_Left:
            return VK_LEFT;
        case FL_Right:
            return VK_RIGHT;
        case FL_Up:
            return VK_UP;
        case FL_Down:
            return VK_DOWN;
        case FL_BackSpace:
            return VK_BACK;
        case FL_Delete:
            return VK_DELETE;
        case FL_Home:
            return VK_HOME;
        case FL_End:
            return VK_END;
        case FL_Page_Up:
            return VK_PRIOR;
        case FL_Page_Down:
            return VK_NEXT;
        // Shift+Tab goes backwards, Shift+arrows further: the state is followed
        // from the Shift keys' own messages.
        case FL_Shift_L:
        case FL_Shift_R:
            return VK_SHIFT;
        default:
            return 0;
    }
}

}  // namespace

KeyTranslation TranslateKey(int key, const std::string& text) {
    KeyTranslation out;
    out.virtualKey = NamedKey(key);
    if (out.virtualKey == VK_RETURN) out.character = U'\r';
    if (out.virtualKey == VK_ESCAPE) out.character = U'\x1b';
    if (out.virtualKey == VK_TAB) out.character = U'\t';
    if (out.virtualKey == VK_BACK) out.character = U'\b';
    if (out.virtualKey) return out;
    // Letters and digits have their upper-case ASCII code as their key; the
    // character is what was typed, shifted or not.
    if (key >= 'a' && key <= 'z') out.virtualKey = static_cast<WPARAM>(key - 'a' + 'A');
    if (key >= '0' && key <= '9') out.virtualKey = static_cast<WPARAM>(key);
    if (key == ' ') out.virtualKey = VK_SPACE;
    if (const auto c = FirstCodePoint(text); c && *c >= 0x20 && *c != 0x7F) out.character = c;
    return out;
}
