// Fitting names into controls: file names come in any encoding, and a name wider
// than its place is cut with "..." rather than overflowing.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi/gdi_types.h"

// The text as valid UTF-8: every byte that does not start a well-formed sequence
// becomes U+FFFD, so names in other encodings still show something readable.
std::string DisplayText(const std::string& raw);

// The width in pixels of the text in the DC's font.
int TextWidth(HDC hdc, const std::string& text);

// The text, or its longest head that fits `width` followed by "...". Cuts on
// character boundaries. Sets *cut when it had to cut.
std::string Ellipsize(HDC hdc, const std::string& text, int width, bool* cut = nullptr);

// A file name that fits `width`: the longest head of its stem that fits with
// "..." and the extension after it ("holiday-at-th....jpg"), so the type stays
// readable. A name without a short extension is cut at its end as by Ellipsize.
std::string EllipsizeName(HDC hdc, const std::string& name, int width, bool* cut = nullptr);

// At most `maxLines` lines of at most `width` pixels; a line breaks after a blank,
// "-", "_" or "." where it can, else between characters; the last line ends in
// "..." when the text does not fit.
std::vector<std::string> WrapLines(HDC hdc, const std::string& text, int width, int maxLines);
