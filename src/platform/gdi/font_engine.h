// Fonts: a LOGFONT resolved through fontconfig to font files, scaled and
// rasterised with FreeType. Characters the chosen font lacks come from the
// fontconfig fallback list (CJK from WenQuanYi). All use of the engine is
// serialised by FontLock.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "gdi_types.h"

namespace gdi {

struct GlyphImage {
    LONG advance = 0;
    LONG left = 0;  // bitmap origin relative to the pen position
    LONG top = 0;   // rows above the baseline
    LONG width = 0;
    LONG rows = 0;
    std::vector<BYTE> coverage;  // width x rows, 0..255
};

struct FontMetrics {
    LONG ascent = 0;
    LONG descent = 0;
    LONG height = 0;
    LONG internalLeading = 0;
    LONG externalLeading = 0;
    LONG aveCharWidth = 0;
    LONG maxCharWidth = 0;
    LONG underlinePosition = 0;  // rows below the baseline
    LONG underlineThickness = 1;
    LONG strikeoutPosition = 0;  // rows above the baseline
};

class ScaledFont {
public:
    virtual ~ScaledFont() = default;
    virtual const FontMetrics& Metrics() const = 0;
    // The glyph of a character: from the chosen font, a fallback, or the
    // chosen font's missing-glyph box.
    virtual const GlyphImage& Glyph(char32_t c) = 0;
    virtual const LOGFONT& Request() const = 0;
    // Family name of the font file the request resolved to.
    virtual const std::string& Family() const = 0;
};

std::unique_lock<std::mutex> FontLock();
// The font for a request; null only when fontconfig finds no font at all.
// Call with FontLock held. Resolved fonts are kept for the life of the process.
ScaledFont* ResolveFont(const LOGFONT& request);

}  // namespace gdi
