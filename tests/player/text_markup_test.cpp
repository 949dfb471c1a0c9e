#include "player/text_markup.h"

#include <gtest/gtest.h>

#include "player/text_block.h"

using namespace player;

namespace {

TextStyle Base() {
    TextStyle s;
    s.font = "Arial";
    s.size = 12;
    return s;
}

std::string Text(const MarkupLine& line) {
    std::string out;
    for (const StyledRun& run : line.runs)
        out += run.text;
    return out;
}

std::vector<std::string> LineTexts(const TextBlock& block) {
    std::vector<std::string> out;
    for (const PlacedLine& line : block.lines) {
        std::string text;
        for (const PlacedRun& run : line.runs)
            text += run.text;
        out.push_back(text);
    }
    return out;
}

}  // namespace

TEST(TextMarkup, ParagraphsFontsAndBreaksBecomeStyledLines) {
    const auto lines = ParseMarkup(
        "<p align=\"center\"><font face=\"Arial CYR\" size=\"14\" color=\"#ff0000\">Hi "
        "<b>there</b></font></p>Next<br>Line\nLast",
        Base());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].align, Align::Center);
    ASSERT_EQ(lines[0].runs.size(), 2u);
    EXPECT_EQ(lines[0].runs[0].text, "Hi ");
    EXPECT_EQ(lines[0].runs[0].style.face, "Arial CYR");
    EXPECT_EQ(lines[0].runs[0].style.size, 14);
    EXPECT_EQ(lines[0].runs[0].style.color, RGB(255, 0, 0));
    EXPECT_FALSE(lines[0].runs[0].style.bold);
    EXPECT_TRUE(lines[0].runs[1].style.bold);
    EXPECT_EQ(lines[0].runs[1].style.face, "Arial CYR");
    // After the paragraph: the base style and alignment again.
    EXPECT_EQ(lines[1].align, Align::Left);
    EXPECT_EQ(Text(lines[1]), "Next");
    EXPECT_EQ(lines[1].runs[0].style.face, "Arial");
    EXPECT_EQ(Text(lines[2]), "Line");
    EXPECT_EQ(Text(lines[3]), "Last");
}

TEST(TextMarkup, EntitiesUnknownTagsAndUnclosedTags) {
    auto lines = ParseMarkup("a &amp; b <i>c</i> &lt;&gt;&quot;&apos; &unknown; < x", Base());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(Text(lines[0]), "a & b c <>\"' &unknown; < x");
    // A tag never closed lasts to the end; a stray end tag changes nothing.
    lines = ParseMarkup("</font><B>x<br>y", Base());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[1].runs[0].style.bold);
    // Case, single quotes, unquoted values; bad sizes and colours are ignored.
    lines = ParseMarkup("<P ALIGN='right'><FONT SIZE=20 color='#12'>x</FONT></P>", Base());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].align, Align::Right);
    EXPECT_EQ(lines[0].runs[0].style.size, 20);
    EXPECT_EQ(lines[0].runs[0].style.color, RGB(0, 0, 0));
    lines = ParseMarkup("<font size=\"99999\" face='A &amp; B'>x</font>", Base());
    EXPECT_EQ(lines[0].runs[0].style.size, 500);
    EXPECT_EQ(lines[0].runs[0].style.face, "A & B");
}

TEST(TextMarkup, ParagraphsStartNewLinesOnlyWhereNeeded) {
    auto lines = ParseMarkup("<p>a</p><p>b</p>\n<p align=\"right\">c</p>", Base());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Text(lines[2]), "c");
    EXPECT_EQ(lines[2].align, Align::Right);
    lines = ParseMarkup("a\n\nb", Base());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[1].runs.empty());
}

TEST(TextLayout, WrapsAtSpacesAnywhereInCjkAndNeverLosesText) {
    const TextStyle base = Base();
    // Wide enough for one word but not two.
    TextBlock block = LayoutText(ParseMarkup("wwwww wwwww  wwwww", base), 60);
    EXPECT_EQ(LineTexts(block), (std::vector<std::string>{"wwwww", "wwwww", "wwwww"}));
    for (const PlacedLine& line : block.lines)
        EXPECT_LE(line.width, 60);
    EXPECT_EQ(block.height, 3 * (block.lines[0].ascent + block.lines[0].descent));
    // Chinese breaks between characters, never before its full stop.
    block = LayoutText(ParseMarkup("一二三四五六七。", base), 7 * 12);
    ASSERT_EQ(block.lines.size(), 2u);
    EXPECT_EQ(LineTexts(block)[1], "七。");
    // A word wider than the box is cut between letters rather than lost.
    block = LayoutText(ParseMarkup("abcdefghijklmnopqrstuvwxyz", base), 40);
    std::string joined;
    for (const std::string& line : LineTexts(block))
        joined += line;
    EXPECT_EQ(joined, "abcdefghijklmnopqrstuvwxyz");
    EXPECT_GT(block.lines.size(), 2u);
    // Bigger type makes a taller line; an empty line keeps its height.
    block = LayoutText(ParseMarkup("a<font size=\"30\">B</font>\n\nc", base), 500);
    ASSERT_EQ(block.lines.size(), 3u);
    EXPECT_GT(block.lines[0].ascent, block.lines[2].ascent);
    EXPECT_GT(block.lines[1].ascent, 0);
}
