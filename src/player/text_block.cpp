#include "text_block.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/font_engine.h"
#include "platform/gdi/text_layout.h"

namespace player {
namespace {

// A character with the run it belongs to and its advance.
struct Glyph {
    char32_t c;
    std::size_t run;
    int advance;
};

bool IsSpace(char32_t c) {
    return c == U' ' || c == U'\t' || c == 0x3000;
}

// Ideographs, kana and hangul carry no spaces: a line may end next to them.
bool BreaksAnywhere(char32_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF) ||
           (c >= 0x20000 && c <= 0x3FFFF);
}

// Closing punctuation that may not start a line.
bool NoBreakBefore(char32_t c) {
    static const char32_t kClosing[] = {0x3001, 0x3002, 0xFF0C, 0xFF0E, 0xFF1A, 0xFF1B, 0xFF01,
                                        0xFF1F, 0xFF09, 0x300D, 0x300F, 0x3011, 0x3009, 0x300B,
                                        U',',   U'.',   U'!',   U'?',   U':',   U';',   U')'};
    return std::find(std::begin(kClosing), std::end(kClosing), c) != std::end(kClosing);
}

// A line may end before glyph i.
bool IsBreak(const std::vector<Glyph>& g, std::size_t i) {
    if (i == 0 || i >= g.size() || IsSpace(g[i].c)) return false;
    if (NoBreakBefore(g[i].c)) return false;
    return IsSpace(g[i - 1].c) || BreaksAnywhere(g[i - 1].c) || BreaksAnywhere(g[i].c);
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

struct Metrics {
    int ascent = 0;
    int descent = 0;
};

Metrics MetricsOf(const RunStyle& style) {
    const LOGFONT font = LogFontFor(style);
    gdi::ScaledFont* scaled = gdi::ResolveFont(font);
    if (!scaled) return Metrics{style.size, 0};
    return Metrics{scaled->Metrics().ascent, scaled->Metrics().descent};
}

std::vector<Glyph> Measure(const MarkupLine& line) {
    std::vector<Glyph> glyphs;
    for (std::size_t r = 0; r < line.runs.size(); ++r) {
        const LOGFONT font = LogFontFor(line.runs[r].style);
        gdi::ScaledFont* scaled = gdi::ResolveFont(font);
        for (char32_t c : gdi::DecodeUtf8(line.runs[r].text)) {
            if (c == U'\t') c = U' ';
            glyphs.push_back(Glyph{c, r, scaled ? static_cast<int>(scaled->Glyph(c).advance) : 0});
        }
    }
    return glyphs;
}

// Where the line starting at `start` ends: before the last break that fits,
// or, for a word wider than the line, before the first glyph that does not.
std::size_t LineEnd(const std::vector<Glyph>& g, std::size_t start, int maxWidth) {
    long width = 0;
    std::size_t lastBreak = start;
    for (std::size_t i = start; i < g.size(); ++i) {
        if (i > start && IsBreak(g, i)) lastBreak = i;
        width += g[i].advance;
        if (width > maxWidth && !IsSpace(g[i].c) && i > start)
            return lastBreak > start ? lastBreak : i;
    }
    return g.size();
}

PlacedLine MakeLine(const MarkupLine& source, const std::vector<Glyph>& g, std::size_t begin,
                    std::size_t end) {
    PlacedLine line;
    line.align = source.align;
    while (end > begin && IsSpace(g[end - 1].c))
        --end;
    Metrics m = MetricsOf(source.style);
    if (begin < end) m = Metrics{};
    int x = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const StyledRun& run = source.runs[g[i].run];
        if (i == begin || g[i].run != g[i - 1].run) {
            line.runs.push_back(PlacedRun{run.style, {}, x});
            const Metrics rm = MetricsOf(run.style);
            m.ascent = std::max(m.ascent, rm.ascent);
            m.descent = std::max(m.descent, rm.descent);
        }
        AppendUtf8(line.runs.back().text, g[i].c);
        x += g[i].advance;
    }
    line.width = x;
    line.ascent = m.ascent;
    line.descent = m.descent;
    return line;
}

}  // namespace

LOGFONT LogFontFor(const RunStyle& style) {
    LOGFONT f{};
    f.lfHeight = -style.size;
    f.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
    f.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(f.lfFaceName, style.face.c_str(), LF_FACESIZE - 1);
    return f;
}

TextBlock LayoutText(const std::vector<MarkupLine>& lines, int maxWidth) {
    TextBlock block;
    auto lock = gdi::FontLock();
    for (const MarkupLine& source : lines) {
        const std::vector<Glyph> glyphs = Measure(source);
        std::size_t start = 0;
        do {
            const std::size_t end = LineEnd(glyphs, start, maxWidth);
            block.lines.push_back(MakeLine(source, glyphs, start, end));
            block.height += block.lines.back().ascent + block.lines.back().descent;
            start = end;
            while (start < glyphs.size() && IsSpace(glyphs[start].c))
                ++start;
        } while (start < glyphs.size());
    }
    return block;
}

}  // namespace player
