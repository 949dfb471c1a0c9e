#include "text_layout.h"

#include <cstdint>

namespace gdi {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Ideographs and kana may break anywhere, as they carry no spaces.
bool BreaksAnywhere(char32_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF) ||
           (c >= 0x20000 && c <= 0x3FFFF);
}

// A character with the & prefix mark it carried.
struct Marked {
    char32_t c;
    bool underlined;
};
using MarkedText = std::vector<Marked>;

MarkedText StripPrefixes(std::u32string_view text, bool prefixes) {
    MarkedText out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (prefixes && text[i] == U'&' && i + 1 < text.size()) {
            ++i;
            out.push_back({text[i], text[i] != U'&'});
        } else if (!(prefixes && text[i] == U'&')) {
            out.push_back({text[i], false});
        }
    }
    return out;
}

TextLine MakeLine(ScaledFont& font, const MarkedText& text, std::size_t begin, std::size_t end) {
    TextLine line;
    for (std::size_t i = begin; i < end; ++i) {
        if (text[i].underlined && line.underline < 0)
            line.underline = static_cast<int>(line.text.size());
        line.text.push_back(text[i].c);
    }
    line.width = RunWidth(font, line.text);
    return line;
}

// A line may end before position p when a space precedes it or an
// ideograph is on either side.
bool IsBreak(const MarkedText& text, std::size_t p) {
    return text[p - 1].c == U' ' || BreaksAnywhere(text[p - 1].c) || BreaksAnywhere(text[p].c);
}

// Where the line starting at `start` ends: after the last break before the
// first character that overflows, or, when a single word is wider than the
// line, after that word.
std::size_t LineEnd(ScaledFont& font, const MarkedText& text, std::size_t start, std::size_t end,
                    LONG maxWidth) {
    std::int64_t width = 0;
    std::size_t lastBreak = start;
    for (std::size_t i = start; i < end; ++i) {
        width += font.Glyph(text[i].c).advance;
        if (text[i].c != U' ' && width > maxWidth && i > start) {
            if (lastBreak > start) return lastBreak;
            std::size_t next = i;
            while (next < end && !IsBreak(text, next))
                ++next;
            return next;
        }
        if (i + 1 < end && IsBreak(text, i + 1)) lastBreak = i + 1;
    }
    return end;
}

// Greedy breaking of one paragraph; the spaces at a break are dropped.
void BreakParagraph(ScaledFont& font, const MarkedText& text, std::size_t begin, std::size_t end,
                    LONG maxWidth, std::vector<TextLine>& lines) {
    std::size_t start = begin;
    while (start < end) {
        const std::size_t lineEnd = LineEnd(font, text, start, end, maxWidth);
        std::size_t visibleEnd = lineEnd;
        while (visibleEnd > start && text[visibleEnd - 1].c == U' ')
            --visibleEnd;
        lines.push_back(MakeLine(font, text, start, visibleEnd));
        start = lineEnd;
        while (start < end && text[start].c == U' ')
            ++start;
    }
}

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    std::u32string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int extra = b < 0x80         ? 0
                          : (b >> 5) == 6  ? 1
                          : (b >> 4) == 14 ? 2
                          : (b >> 3) == 30 ? 3
                                           : -1;
        if (extra == 0) {
            out.push_back(b);
            ++i;
            continue;
        }
        bool ok = extra > 0 && i + static_cast<std::size_t>(extra) < text.size();
        char32_t c = ok ? b & (0x3F >> extra) : 0;
        for (int k = 1; ok && k <= extra; ++k) {
            const auto cont = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            ok = (cont & 0xC0) == 0x80;
            c = (c << 6) | (cont & 0x3F);
        }
        ok = ok && c >= kMin[extra] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
        out.push_back(ok ? c : kReplacement);
        i += ok ? static_cast<std::size_t>(extra) + 1 : 1;
    }
    return out;
}

// Saturates at the coordinate limit, however long the text.
LONG RunWidth(ScaledFont& font, std::u32string_view text) {
    constexpr LONG kLimit = LONG{1} << 27;
    LONG width = 0;
    for (char32_t c : text) {
        width += font.Glyph(c).advance;
        if (width >= kLimit) return kLimit;
    }
    return width;
}

std::vector<TextLine> LayoutLines(ScaledFont& font, std::u32string_view text, LONG maxWidth,
                                  UINT format) {
    const MarkedText marked = StripPrefixes(text, !(format & DT_NOPREFIX));
    std::vector<TextLine> lines;
    if (format & DT_SINGLELINE) {
        MarkedText flat;
        for (const Marked& m : marked)
            if (m.c != U'\r' && m.c != U'\n') flat.push_back(m);
        lines.push_back(MakeLine(font, flat, 0, flat.size()));
        return lines;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i <= marked.size(); ++i) {
        if (i < marked.size() && marked[i].c != U'\n') continue;
        std::size_t end = i;
        if (end > start && marked[end - 1].c == U'\r') --end;
        if ((format & DT_WORDBREAK) && end > start)
            BreakParagraph(font, marked, start, end, maxWidth, lines);
        else
            lines.push_back(MakeLine(font, marked, start, end));
        start = i + 1;
    }
    return lines;
}

}  // namespace gdi
