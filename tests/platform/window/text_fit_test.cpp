// Fitting names: other encodings shown readably, cuts on character boundaries,
// two lines at most with "..." at the end.
#include "platform/window/text_fit.h"

#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"

namespace {

class TextFit : public ::testing::Test {
protected:
    void SetUp() override {
        hdc = CreateCompatibleDC(nullptr);
        old = SelectObject(hdc, CreateFont(-12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    }
    void TearDown() override {
        DeleteObject(SelectObject(hdc, old));
        DeleteDC(hdc);
    }
    HDC hdc = nullptr;
    HGDIOBJ old = nullptr;
};

}  // namespace

TEST_F(TextFit, NamesInOtherEncodingsBecomeValidText) {
    EXPECT_EQ(DisplayText("caf\xE9.jpg"), "caf\xEF\xBF\xBD.jpg");  // Latin-1 e acute
    EXPECT_EQ(DisplayText("\xC3\xA9t\xC3\xA9"), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(DisplayText("\xE2\x82"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // cut short
    EXPECT_EQ(DisplayText("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // overlong "/"
}

TEST_F(TextFit, EllipsizeCutsOnCharactersAndSaysSo) {
    bool cut = true;
    EXPECT_EQ(Ellipsize(hdc, "short", 200, &cut), "short");
    EXPECT_FALSE(cut);
    const std::string name =
        "\xD0\x9F\xD0\xB8\xD1\x81\xD1\x8C\xD0\xBC\xD0\xBE \xD0\xB4\xD0\xBB\xD1\x8F";
    const std::string fitted = Ellipsize(hdc, name, 40, &cut);
    EXPECT_TRUE(cut);
    EXPECT_LE(TextWidth(hdc, fitted), 40);
    EXPECT_EQ(fitted.substr(fitted.size() - 3), "...");
    EXPECT_EQ(DisplayText(fitted), fitted);  // no broken character
}

TEST_F(TextFit, WrapLinesBreaksAtSeparatorsAndEndsTheSecondLineWithDots) {
    const auto two = WrapLines(hdc, "holiday_in_the_mountains_2003.jpg", 70, 2);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].back(), '_');  // broken after a separator
    EXPECT_EQ(two[1].substr(two[1].size() - 3), "...");
    for (const std::string& line : two)
        EXPECT_LE(TextWidth(hdc, line), 70);
    EXPECT_EQ(WrapLines(hdc, "a.png", 70, 2), std::vector<std::string>{"a.png"});
    EXPECT_EQ(WrapLines(hdc, "", 70, 2).size(), 1u);
    EXPECT_EQ(WrapLines(hdc, "WWWWWWWW", 1, 2).size(), 2u);  // too narrow for anything
}

TEST_F(TextFit, EllipsizeNameKeepsTheExtension) {
    bool cut = true;
    EXPECT_EQ(EllipsizeName(hdc, "Sunset.jpg", 200, &cut), "Sunset.jpg");
    EXPECT_FALSE(cut);
    const std::string name = std::string(240, 'a') + ".jpeg";
    const std::string fitted = EllipsizeName(hdc, name, 150, &cut);
    EXPECT_TRUE(cut);
    EXPECT_LE(TextWidth(hdc, fitted), 150);
    EXPECT_EQ(fitted.substr(fitted.size() - 8), "....jpeg");
    EXPECT_GT(TextWidth(hdc, fitted + "a"), 150 - TextWidth(hdc, "a"));  // as long as fits
    // No extension worth keeping: cut at the end.
    EXPECT_EQ(EllipsizeName(hdc, std::string(200, 'b'), 60).substr(0, 1), "b");
    EXPECT_EQ(EllipsizeName(hdc, std::string(200, 'b') + ".not an extension", 60).back(), '.');
    EXPECT_EQ(EllipsizeName(hdc, "." + std::string(200, 'c'), 60).substr(0, 2), ".c");
}
