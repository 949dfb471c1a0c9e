#include "styled_box.h"

#include <algorithm>
#include <memory>

#include "platform/gdi/gdi.h"
#include "platform/window/dialog_look.h"

namespace {

constexpr int kPadding = 20;
constexpr int kIconSize = 32;
constexpr int kIconGap = 14;
constexpr int kMaxTextWidth = 360;
constexpr int kMinTextWidth = 120;
constexpr int kButtonGap = 10;
constexpr int kStripPadding = 12;

// Runs `draw` with a DC on a surface (a scratch one for measuring).
template <typename Draw>
void WithDC(std::shared_ptr<Surface> surface, Draw draw) {
    HDC hdc = CreateSurfaceDC(std::move(surface));
    draw(hdc);
    DeleteDC(hdc);
}

// A surface that is drawn into, without owning it.
std::shared_ptr<Surface> Borrow(Surface& surface) {
    return std::shared_ptr<Surface>(&surface, [](Surface*) {});
}

std::size_t SequenceLength(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// Word wrapping keeps a word whole, so a word wider than the box (a long path) is
// broken where it reaches the edge. The DC has the text's font.
std::string BreakLongWords(HDC hdc, const std::string& text, LONG maxWidth) {
    std::string out;
    LONG word = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n =
            std::min(SequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
        if (text[i] == ' ' || text[i] == '\n') {
            word = 0;
        } else {
            SIZE size{};
            GetTextExtentPoint32(hdc, text.c_str() + i, static_cast<int>(n), &size);
            if (word > 0 && word + size.cx > maxWidth) {
                out += '\n';
                word = 0;
            }
            word += size.cx;
        }
        out.append(text, i, n);
        i += n;
    }
    return out;
}

SIZE MeasureText(HDC hdc, const std::string& text, int scale) {
    HFONT font = CreateLookFont(look::kTextPixels * scale, false);
    HGDIOBJ old = SelectObject(hdc, font);
    RECT box{0, 0, kMaxTextWidth * scale, 0};
    DrawText(hdc, text.c_str(), -1, &box, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(hdc, old);
    DeleteObject(font);
    return SIZE{box.right - box.left, box.bottom - box.top};
}

std::optional<SignIcon> SignOf(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::kError:
            return SignIcon::kError;
        case BoxIcon::kQuestion:
            return SignIcon::kQuestion;
        case BoxIcon::kWarning:
            return SignIcon::kWarning;
        case BoxIcon::kInformation:
            return SignIcon::kInformation;
        default:
            return std::nullopt;
    }
}

char32_t Lower(char32_t c) {
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

}  // namespace

BoxGeometry LayOutBox(const std::string& text, const BoxLayout& layout, int scale) {
    scale = std::max(scale, 1);
    BoxGeometry g;
    SIZE textSize{};
    std::vector<LONG> widths;
    WithDC(std::make_shared<Surface>(1, 1), [&](HDC hdc) {
        HFONT font = CreateLookFont(look::kTextPixels * scale, false);
        HGDIOBJ old = SelectObject(hdc, font);
        g.lines = BreakLongWords(hdc, text, kMaxTextWidth * scale);
        SelectObject(hdc, old);
        DeleteObject(font);
        textSize = MeasureText(hdc, g.lines, scale);
        for (const BoxButton& button : layout.buttons) {
            widths.push_back(std::max(look::kButtonMinWidth * scale,
                                      LookButtonWidth(hdc, button.label, scale) + 28 * scale));
        }
    });
    const LONG pad = kPadding * scale, iconSize = kIconSize * scale;
    const bool hasIcon = SignOf(layout.icon).has_value();
    const LONG textW = std::max<LONG>(textSize.cx, kMinTextWidth * scale);
    const LONG textLeft = pad + (hasIcon ? iconSize + kIconGap * scale : 0);
    LONG buttonsW = 0;
    for (LONG w : widths)
        buttonsW += w + (buttonsW ? kButtonGap * scale : 0);
    g.width = std::max(textLeft + textW + pad, buttonsW + 2 * pad);
    const LONG bodyH = std::max<LONG>(textSize.cy, hasIcon ? iconSize : 0);
    if (hasIcon) g.icon = RECT{pad, pad, pad + iconSize, pad + iconSize};
    // One line of text stands level with the middle of the icon.
    const LONG textTop = pad + (bodyH - textSize.cy) / 2;
    g.text = RECT{textLeft, textTop, textLeft + textW, textTop + textSize.cy};
    g.ruleY = pad + bodyH + pad;
    const LONG buttonH = look::kButtonHeight * scale;
    const LONG buttonTop = g.ruleY + scale + kStripPadding * scale;
    g.height = buttonTop + buttonH + kStripPadding * scale;
    LONG x = g.width - pad - buttonsW;
    for (LONG w : widths) {
        g.buttons.push_back(RECT{x, buttonTop, x + w, buttonTop + buttonH});
        x += w + kButtonGap * scale;
    }
    return g;
}

void PaintBox(Surface& target, const BoxLayout& layout, const BoxGeometry& geometry,
              std::size_t focused, std::optional<std::size_t> pressed, int scale) {
    scale = std::max(scale, 1);
    WithDC(Borrow(target), [&](HDC hdc) {
        FillSolidRect(hdc, RECT{0, 0, geometry.width, geometry.ruleY}, look::kPage);
        FillSolidRect(hdc, RECT{0, geometry.ruleY, geometry.width, geometry.ruleY + scale},
                      look::kRule);
        FillSolidRect(hdc, RECT{0, geometry.ruleY + scale, geometry.width, geometry.height},
                      look::kPanel);
        if (const auto sign = SignOf(layout.icon)) DrawSignIcon(hdc, geometry.icon, *sign);
        HFONT font = CreateLookFont(look::kTextPixels * scale, false);
        HGDIOBJ old = SelectObject(hdc, font);
        SetBkMode(hdc, TRANSPARENT);
        SetTextColor(hdc, look::kText);
        RECT textRect = geometry.text;
        DrawText(hdc, geometry.lines.c_str(), -1, &textRect, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(hdc, old);
        DeleteObject(font);
        for (std::size_t i = 0; i < layout.buttons.size() && i < geometry.buttons.size(); ++i) {
            DrawLookButton(hdc, geometry.buttons[i],
                           LookButton{layout.buttons[i].label, i == focused, pressed == i}, scale);
        }
    });
}

std::optional<std::size_t> ButtonAt(const BoxGeometry& geometry, LONG x, LONG y) {
    for (std::size_t i = 0; i < geometry.buttons.size(); ++i) {
        const RECT& r = geometry.buttons[i];
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return i;
    }
    return std::nullopt;
}

char32_t ShortcutLetter(const std::string& label) {
    for (std::size_t i = 0; i + 1 < label.size(); ++i) {
        if (label[i] != '&') continue;
        if (label[i + 1] != '&') return Lower(static_cast<unsigned char>(label[i + 1]));
        ++i;  // "&&" is a plain ampersand
    }
    return 0;
}

void BoxKeys::Move(int step) {
    const int count = static_cast<int>(layout_.buttons.size());
    if (count == 0) return;
    focused_ = static_cast<std::size_t>((static_cast<int>(focused_) + step + count) % count);
}

std::optional<int> BoxKeys::Key(WPARAM virtualKey, bool shift, std::optional<char32_t> character) {
    if (layout_.buttons.empty()) return std::nullopt;
    switch (virtualKey) {
        case VK_RETURN:
        case VK_SPACE:
            return layout_.buttons[focused_].answer;
        case VK_ESCAPE:
            return layout_.escapeAnswer;
        case VK_TAB:
            Move(shift ? -1 : 1);
            return std::nullopt;
        case VK_RIGHT:
        case VK_DOWN:
            Move(1);
            return std::nullopt;
        case VK_LEFT:
        case VK_UP:
            Move(-1);
            return std::nullopt;
        default:
            break;
    }
    if (!character) return std::nullopt;
    for (std::size_t i = 0; i < layout_.buttons.size(); ++i) {
        if (ShortcutLetter(layout_.buttons[i].label) == Lower(*character)) {
            focused_ = i;
            return layout_.buttons[i].answer;
        }
    }
    return std::nullopt;
}
