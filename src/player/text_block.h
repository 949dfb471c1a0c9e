// Laying out marked-up text in a box: word wrapping (anywhere between CJK
// characters), line heights from the fonts used, alignment. The result is
// measured once and drawn as often as needed.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi/gdi_types.h"
#include "text_markup.h"

namespace player {

// The font a run style asks for: the face, the size in pixels (em), the weight.
LOGFONT LogFontFor(const RunStyle& style);

struct PlacedRun {
    RunStyle style;
    std::string text;  // UTF-8
    int x = 0;         // from the line's left end
};

struct PlacedLine {
    std::vector<PlacedRun> runs;
    Align align = Align::Left;
    int width = 0;
    int ascent = 0;
    int descent = 0;
};

struct TextBlock {
    std::vector<PlacedLine> lines;
    int height = 0;
};

TextBlock LayoutText(const std::vector<MarkupLine>& lines, int maxWidth);

}  // namespace player
