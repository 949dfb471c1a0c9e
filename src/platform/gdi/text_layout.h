// Turning UTF-8 text into lines of characters for a font: decoding, &
// prefixes, measuring and word breaking.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "font_engine.h"

namespace gdi {

// Invalid or truncated sequences become U+FFFD.
std::u32string DecodeUtf8(std::string_view text);

struct TextLine {
    std::u32string text;
    LONG width = 0;
    int underline = -1;  // index in text of the character marked by &, or -1
};

LONG RunWidth(ScaledFont& font, std::u32string_view text);

// Splits text into the lines DrawText shows: at line breaks unless
// DT_SINGLELINE, and also between words (after spaces, around CJK
// characters) to fit maxWidth with DT_WORDBREAK. "&x" marks x and "&&" is a
// plain "&" unless DT_NOPREFIX.
std::vector<TextLine> LayoutLines(ScaledFont& font, std::u32string_view text, LONG maxWidth,
                                  UINT format);

}  // namespace gdi
