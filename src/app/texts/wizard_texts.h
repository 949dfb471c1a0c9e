// The 26 texts the wizard shows itself (message boxes, titles, menu items, texts
// written into the movie), for the language chosen at start-up.
#pragma once

#include <array>
#include <string>
#include <string_view>

struct WizardTexts {
    std::string midiTooLarge;          // 0
    std::string about;                 // 1
    std::string flashMissing;          // 2
    std::string animationTooLarge;     // 3
    std::string transferInProgress;    // 4
    std::string fileTypeNotSupported;  // 5
    std::string wizardAlreadyRunning;  // 6
    std::string addFrame;              // 7
    std::string invalidPicture;        // 8
    std::string installationError;     // 9
    std::string siblingTitleB;         // 10
    std::string exitQuestion;          // 11
    std::string transferError;         // 12
    std::string pressPrevious;         // 13
    std::string soundReady;            // 14
    std::string animationReady;        // 15
    std::string stampReady;            // 16
    std::string createNewFolder;       // 17
    std::string siblingTitleA;         // 18
    std::string siblingTitleD;         // 19
    std::string siblingTitleC;         // 20
    std::string ownTitle;              // 21
    std::string reduce;                // 22
    std::string ok;                    // 23
    std::string bytesUnit;             // 24
    std::string cancel;                // 25
};

constexpr std::size_t kWizardTextCount = 26;
using TextTable = std::array<std::string_view, kWizardTextCount>;

// One language: its code as the registry spells it (upper case), its texts in key
// order, and the font of the texts written into the movie.
struct LanguageTexts {
    std::string_view code;
    std::string_view movieFont;
    const TextTable& texts;
};

// The twelve languages in matching order: EN FR DE SP IT PT NL PL CZ RU CHS CHT.
const std::array<LanguageTexts, 12>& AllLanguages();

// Upper-cases the code (ASCII), stores it in g_languageCode and returns the texts of
// the first language whose code equals it exactly. An unknown code gives the English
// texts and sets g_languageCode to "EN", so the movie folder exists.
WizardTexts BuildTexts(std::string language);

// The movie font for a language code ("Arial" when unknown).
std::string_view MovieFontFor(std::string_view code);

// Replaces every "%1%" with first, then every "%2%" with second.
std::string FillPlaceholders(std::string text, std::string_view first,
                             std::string_view second = {});

extern WizardTexts g_texts;
extern std::string g_languageCode;
