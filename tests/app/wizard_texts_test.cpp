#include "app/texts/wizard_texts.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

namespace {

std::multiset<std::string> Placeholders(std::string_view text) {
    std::multiset<std::string> found;
    const std::string s(text);
    static const std::regex pattern("%[0-9]%");
    for (std::sregex_iterator it(s.begin(), s.end(), pattern), end; it != end; ++it)
        found.insert(it->str());
    return found;
}

bool ValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int extra = c < 0x80         ? 0
                          : (c >> 5) == 6  ? 1
                          : (c >> 4) == 14 ? 2
                          : (c >> 3) == 30 ? 3
                                           : -1;
        if (extra < 0 || i + extra >= s.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        }
        i += extra + 1;
    }
    return true;
}

}  // namespace

TEST(WizardTexts, LanguageCodesMatchAfterUpperCasingOnly) {
    for (const char* code : {"fr", "Fr", "FR"}) {
        EXPECT_EQ(BuildTexts(code).reduce, "Réduire") << code;
        EXPECT_EQ(g_languageCode, "FR");
    }
    BuildTexts("cht");
    EXPECT_EQ(g_languageCode, "CHT");
    EXPECT_EQ(BuildTexts("sp").ok, "Aceptar");
    EXPECT_EQ(BuildTexts("cz").cancel, "Storno");
}

TEST(WizardTexts, UnknownCodesFallBackToEnglish) {
    for (const char* code : {"FRA", " FR", "", "ES", "xx"}) {
        const WizardTexts texts = BuildTexts(code);
        EXPECT_EQ(texts.ownTitle, "Ostrel") << code;
        EXPECT_EQ(texts.exitQuestion,
                  "All your changes will be lost.\nAre you sure you want to exit ?");
        EXPECT_EQ(g_languageCode, "EN") << code;
    }
}

TEST(WizardTexts, EveryLanguageKeepsTheEnglishPlaceholders) {
    const TextTable& english = AllLanguages()[0].texts;
    for (const LanguageTexts& language : AllLanguages()) {
        for (std::size_t key = 0; key < kWizardTextCount; ++key) {
            const std::string_view text = language.texts[key];
            EXPECT_FALSE(text.empty()) << language.code << " key " << key;
            EXPECT_TRUE(ValidUtf8(text)) << language.code << " key " << key;
            EXPECT_EQ(Placeholders(text), Placeholders(english[key]))
                << language.code << " key " << key;
            const bool marked = text.find("<font") != std::string_view::npos;
            const bool ready = key == 14 || key == 15 || key == 16;
            EXPECT_EQ(marked, language.code == "RU" && ready) << language.code << " key " << key;
        }
    }
}

TEST(WizardTexts, OkAndBytesFollowTheLanguage) {
    for (const LanguageTexts& language : AllLanguages()) {
        const bool own = language.code == "SP" || language.code == "CHS" || language.code == "CHT";
        EXPECT_EQ(language.texts[23] == "OK", !own) << language.code;
    }
    EXPECT_EQ(BuildTexts("FR").bytesUnit, "octets");
    EXPECT_EQ(BuildTexts("DE").bytesUnit, "Byte");
    EXPECT_EQ(BuildTexts("PL").bytesUnit, "bajtów");
    EXPECT_EQ(MovieFontFor("PL"), "Arial CE");
    EXPECT_EQ(MovieFontFor("RU"), "Arial CYR");
    EXPECT_EQ(MovieFontFor("CHS"), "Arial");
}

TEST(WizardTexts, PlaceholdersAreFilledEverywhereFirstThenSecond) {
    const WizardTexts english = BuildTexts("EN");
    EXPECT_EQ(FillPlaceholders(english.wizardAlreadyRunning, "Ostrel", "Moskin"),
              "It is not possible to start the Ostrel wizard because the Moskin wizard is already "
              "running.\nPlease close the Moskin wizard.");
    EXPECT_EQ(FillPlaceholders("%1%-%2%", "%2%", "x"), "x-x");
    EXPECT_EQ(FillPlaceholders("%1%%1%", "%1%"), "%1%%1%");
    const std::string russian = FillPlaceholders(BuildTexts("RU").stampReady, "name", "1234");
    EXPECT_EQ(russian.rfind("<font size=\"12\">", 0), 0u);
    EXPECT_NE(russian.find("name (1234"), std::string::npos);
}
