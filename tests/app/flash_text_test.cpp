// Movie addresses, texts for the movie's fields and tips from the movie.
#include <gtest/gtest.h>

#include "app/flash/flash_text.h"
#include "app/flash/movie_url.h"
#include "app/flash/wiz_page.h"
#include "app/texts/wizard_texts.h"

TEST(MovieUrl, QuotedAndUnquotedCommandLines) {
    EXPECT_EQ(
        MovieUrlFromCommandLine("\"/opt/Program Files/W/ostrel\" --x", "FR", "Pennon.swf?frm=3"),
        "file:///opt/Program Files/W/FR/Pennon.swf?frm=3");
    EXPECT_EQ(MovieUrlFromCommandLine("/opt/W/ostrel", "EN", "Pennon.swf?frm=1"),
              "file:///opt/W/EN/Pennon.swf?frm=1");
    // Unquoted, the path ends at the first blank; quoted without an end, at the end.
    EXPECT_EQ(ExecutablePathFromCommandLine("/opt/W/ostrel -v"), "/opt/W/ostrel");
    EXPECT_EQ(ExecutablePathFromCommandLine("\"/opt/A B/ostrel"), "/opt/A B/ostrel");
    EXPECT_EQ(ExecutablePathFromCommandLine(""), "");
    // No folder at all: the language folder is taken as it stands.
    EXPECT_EQ(MovieUrlFromCommandLine("ostrel", "EN", "Pennon.swf"), "file://EN/Pennon.swf");
}

TEST(MovieUrl, FolderCharactersThatAUrlReadsAreEscaped) {
    EXPECT_EQ(MovieUrlFromCommandLine("\"/tmp/50% off?/#1/ostrel\"", "EN", "Pennon.swf?frm=2"),
              "file:///tmp/50%25 off%3F/%231/EN/Pennon.swf?frm=2");
}

TEST(MovieUrl, ThisProcessUsesItsOwnFolderAndLanguage) {
    g_texts = BuildTexts("de");
    const std::string url = MakeMovieUrl("Pennon.swf?frm=5");
    EXPECT_EQ(url.rfind("file:///", 0), 0u) << url;
    EXPECT_NE(url.find("/DE/Pennon.swf?frm=5"), std::string::npos) << url;
}

TEST(FlashText, MarkupAndFontsByLanguage) {
    g_texts = BuildTexts("EN");
    EXPECT_EQ(FormatFlashText("Hi", true, true),
              "<p align=\"center\"><font face=\"Arial\"><b>Hi</b></font></p>");
    EXPECT_EQ(FormatFlashText("Hi", false, false), "<font face=\"Arial\">Hi</font>");
    const std::pair<const char*, const char*> fonts[] = {
        {"CZ", "Arial CE"}, {"PL", "Arial CE"}, {"RU", "Arial CYR"}, {"CHS", "Arial"}};
    for (const auto& [language, font] : fonts) {
        g_languageCode = language;
        EXPECT_EQ(FormatFlashText("x", false, false),
                  std::string("<font face=\"") + font + "\">x</font>")
            << language;
    }
    // The comparison ignores case.
    g_languageCode = "cz";
    EXPECT_EQ(FormatFlashText("x", false, false), "<font face=\"Arial CE\">x</font>");
    g_texts = BuildTexts("EN");
}

TEST(TipText, CutTo76BytesOnACharacterBoundary) {
    EXPECT_EQ(TipText(std::string(100, 'a'), 76), std::string(76, 'a'));
    EXPECT_EQ(TipText("short", 76), "short");
    // A two-byte character straddling the limit is left out whole.
    EXPECT_EQ(TipText(std::string(75, 'a') + "\xC3\xA9zz", 76), std::string(75, 'a'));
    // Three-byte characters: 25 of them fill 75 bytes; the 26th does not fit.
    std::string chinese;
    for (int i = 0; i < 30; ++i)
        chinese += "\xE4\xB8\xAD";
    EXPECT_EQ(TipText(chinese, 76).size(), 75u);
}
