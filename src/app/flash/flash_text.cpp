#include "flash_text.h"

#include <cctype>

#include "app/texts/wizard_texts.h"

namespace {

std::string FontForLanguage(std::string code) {
    for (char& c : code)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return std::string(MovieFontFor(code));
}

}  // namespace

std::string FormatFlashText(const std::string& text, bool bold, bool centred) {
    std::string result = bold ? "<b>" + text + "</b>" : text;
    result = "<font face=\"" + FontForLanguage(g_languageCode) + "\">" + result + "</font>";
    if (centred) result = "<p align=\"center\">" + result + "</p>";
    return result;
}
