// The markup of texts and fields: <p align>, <font face size color>, <b>, <br>,
// line feeds and the five character entities. Other tags are dropped, their
// text kept; a tag never closed lasts to the end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "movie.h"

namespace player {

struct RunStyle {
    std::string face;
    int size = 12;
    COLORREF color = 0;
    bool bold = false;

    bool operator==(const RunStyle&) const = default;
};

struct StyledRun {
    RunStyle style;
    std::string text;  // UTF-8
};

// One line of the text as written (a paragraph or a forced break); word
// wrapping may split it further.
struct MarkupLine {
    Align align = Align::Left;
    RunStyle style;  // the style where the line starts: the height of an empty line
    std::vector<StyledRun> runs;
};

std::vector<MarkupLine> ParseMarkup(std::string_view markup, const TextStyle& base);

}  // namespace player
