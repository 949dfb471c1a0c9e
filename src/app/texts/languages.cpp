#include "languages.h"

const std::array<LanguageTexts, 12>& AllLanguages() {
    static const std::array<LanguageTexts, 12> languages = {{
        {"EN", "Arial", kTextsEnglish},
        {"FR", "Arial", kTextsFrench},
        {"DE", "Arial", kTextsGerman},
        {"SP", "Arial", kTextsSpanish},
        {"IT", "Arial", kTextsItalian},
        {"PT", "Arial", kTextsPortuguese},
        {"NL", "Arial", kTextsDutch},
        {"PL", "Arial CE", kTextsPolish},
        {"CZ", "Arial CE", kTextsCzech},
        {"RU", "Arial CYR", kTextsRussian},
        {"CHS", "Arial", kTextsChineseSimplified},
        {"CHT", "Arial", kTextsChineseTraditional},
    }};
    return languages;
}
