#include <algorithm>

#include "wizard_texts.h"

WizardTexts g_texts;
std::string g_languageCode;

namespace {

WizardTexts FromTable(const TextTable& t) {
    return WizardTexts{
        std::string(t[0]),  std::string(t[1]),  std::string(t[2]),  std::string(t[3]),
        std::string(t[4]),  std::string(t[5]),  std::string(t[6]),  std::string(t[7]),
        std::string(t[8]),  std::string(t[9]),  std::string(t[10]), std::string(t[11]),
        std::string(t[12]), std::string(t[13]), std::string(t[14]), std::string(t[15]),
        std::string(t[16]), std::string(t[17]), std::string(t[18]), std::string(t[19]),
        std::string(t[20]), std::string(t[21]), std::string(t[22]), std::string(t[23]),
        std::string(t[24]), std::string(t[25]),
    };
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

}  // namespace

WizardTexts BuildTexts(std::string language) {
    std::transform(language.begin(), language.end(), language.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    });
    g_languageCode = language;
    for (const LanguageTexts& candidate : AllLanguages()) {
        if (candidate.code == language) return FromTable(candidate.texts);
    }
    g_languageCode = "EN";
    return FromTable(AllLanguages()[0].texts);
}

std::string_view MovieFontFor(std::string_view code) {
    for (const LanguageTexts& candidate : AllLanguages()) {
        if (candidate.code == code) return candidate.movieFont;
    }
    return "Arial";
}

std::string FillPlaceholders(std::string text, std::string_view first, std::string_view second) {
    ReplaceAll(text, "%1%", first);
    ReplaceAll(text, "%2%", second);
    return text;
}
