#include "wide_text.h"

namespace {

constexpr char32_t kEscapeBase = 0xDC80;

// Length of the valid sequence at the start of `text`, 0 when it is not one.
std::size_t SequenceLength(std::string_view text, char32_t* code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length;
    char32_t value;
    char32_t least;
    if (lead < 0x80) {
        *code = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        value = value << 6 | (byte(i) & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    *code = value;
    return length;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::wstring WideFromUtf8(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    while (!text.empty()) {
        char32_t code;
        std::size_t length = SequenceLength(text, &code);
        if (length == 0) {
            code = kEscapeBase + static_cast<unsigned char>(text[0]);
            length = 1;
        }
        wide += static_cast<wchar_t>(code);
        text.remove_prefix(length);
    }
    return wide;
}

std::string Utf8FromWide(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t w : text) {
        const auto code = static_cast<char32_t>(w);
        if (code >= kEscapeBase && code <= kEscapeBase + 0xFF && code - kEscapeBase >= 0x80)
            out += static_cast<char>(code - kEscapeBase);
        else if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            AppendUtf8(out, 0xFFFD);
        else
            AppendUtf8(out, code);
    }
    return out;
}
