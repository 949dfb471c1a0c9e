// Texts written into the movie's text fields, wrapped in the markup they accept.
#pragma once

#include <string>

// The text inside a font element whose face suits the language (g_languageCode,
// compared without regard to case), optionally bold and optionally in a centred
// paragraph.
std::string FormatFlashText(const std::string& text, bool bold, bool centred);
