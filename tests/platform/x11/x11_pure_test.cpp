// The parts of the x11 back end that need no display: shapes from regions, keys,
// message box layouts, titles, and the file chooser's filters.
#include <gtest/gtest.h>

#include "platform/backends/x11/box_buttons.h"
#include "platform/backends/x11/fltk_dialogs.h"
#include "platform/backends/x11/key_map.h"
#include "platform/backends/x11/shape_rects.h"
#include "platform/backends/x11/x11_desktop.h"

#include <FL/Enumerations.H>

namespace {

// Whether the rectangles cover exactly the pixels of the region inside the window.
void ExpectSamePixels(const std::vector<XRectangle>& rects, const Region& region, LONG width,
                      LONG height) {
    for (LONG y = 0; y < height; ++y) {
        for (LONG x = 0; x < width; ++x) {
            int covering = 0;
            for (const XRectangle& r : rects) {
                if (x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height) ++covering;
            }
            ASSERT_EQ(covering, region.Contains(x, y) ? 1 : 0) << "at " << x << "," << y;
        }
    }
}

std::vector<int> Answers(const BoxLayout& layout) {
    std::vector<int> out;
    for (const BoxButton& b : layout.buttons)
        out.push_back(b.answer);
    return out;
}

}  // namespace

TEST(X11Shape, ARoundedOutlineWithCutSidesBecomesTheSamePixels) {
    Region outline = Region::RoundRect(RECT{0, 0, 580, 411}, 16, 16);
    outline = Region::Combine(outline, Region(RECT{0, 230, 33, 411}), Region::Op::Diff);
    outline = Region::Combine(outline, Region(RECT{560, 300, 580, 411}), Region::Op::Diff);
    const auto rects = ShapeRectangles(outline, 580, 411);
    EXPECT_EQ(rects.size(), outline.Rects().size());
    ExpectSamePixels(rects, outline, 580, 411);
}

TEST(X11Shape, PartsOutsideTheWindowAreCutAway) {
    const Region region =
        Region::FromRects(std::vector<RECT>{{-10, -5, 20, 10}, {30, 8, 60, 40}, {70, 0, 90, 5}});
    const auto rects = ShapeRectangles(region, 50, 20);
    ExpectSamePixels(rects, region.Intersect(RECT{0, 0, 50, 20}), 50, 20);
    for (const XRectangle& r : rects) {
        EXPECT_GE(r.x, 0);
        EXPECT_LE(r.x + r.width, 50);
        EXPECT_LE(r.y + r.height, 20);
    }
    EXPECT_TRUE(ShapeRectangles(Region(), 50, 20).empty());
}

TEST(X11Keys, DialogKeysAndArrowsHaveTheirVirtualKeys) {
    EXPECT_EQ(TranslateKey(FL_Enter, "\r").virtualKey, VK_RETURN);
    EXPECT_EQ(TranslateKey(FL_KP_Enter, "\r").virtualKey, VK_RETURN);
    EXPECT_EQ(TranslateKey(FL_Enter, "").character, U'\r');
    const KeyTranslation escape = TranslateKey(FL_Escape, "\x1b");
    EXPECT_EQ(escape.virtualKey, VK_ESCAPE);
    EXPECT_EQ(escape.character, U'\x1b');
    EXPECT_EQ(TranslateKey(FL_Tab, "\t").virtualKey, VK_TAB);
    // Shift is a key of its own, so Shift+Tab can go backwards.
    EXPECT_EQ(TranslateKey(FL_Shift_R, "").virtualKey, VK_SHIFT);
    for (auto [key, vk] : {std::pair{FL_Left, VK_LEFT}, std::pair{FL_Right, VK_RIGHT},
                           std::pair{FL_Up, VK_UP}, std::pair{FL_Down, VK_DOWN}}) {
        const KeyTranslation t = TranslateKey(key, "");
        EXPECT_EQ(t.virtualKey, vk);
        EXPECT_FALSE(t.character);
    }
}

TEST(X11Keys, TypedCharactersKeepWhatWasTyped) {
    const KeyTranslation shifted = TranslateKey('a', "A");
    EXPECT_EQ(shifted.virtualKey, WPARAM{'A'});
    EXPECT_EQ(shifted.character, U'A');
    EXPECT_EQ(TranslateKey('7', "7").virtualKey, WPARAM{'7'});
    EXPECT_EQ(TranslateKey(0xe9, "\xc3\xa9").character, U'\u00e9');   // é
    EXPECT_EQ(TranslateKey(0, "\xe6\x98\x9f").character, U'\u661f');  // 星
    EXPECT_FALSE(TranslateKey(0, "\xc3").character);                  // cut short
    EXPECT_FALSE(TranslateKey(0, "\xe6\x41\x41").character);          // broken
    EXPECT_FALSE(TranslateKey('a', "\x01").character);                // control
    EXPECT_FALSE(TranslateKey(FL_Shift_L, "").character);
}

TEST(X11MessageBox, EachStyleHasTheWin32ButtonsInOrder) {
    EXPECT_EQ(Answers(LayoutFor(MB_OK)), (std::vector<int>{IDOK}));
    EXPECT_EQ(Answers(LayoutFor(MB_OKCANCEL)), (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_EQ(Answers(LayoutFor(MB_ABORTRETRYIGNORE)),
              (std::vector<int>{IDABORT, IDRETRY, IDIGNORE}));
    EXPECT_EQ(Answers(LayoutFor(MB_YESNOCANCEL)), (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(Answers(LayoutFor(MB_YESNO | MB_ICONQUESTION)), (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(Answers(LayoutFor(MB_RETRYCANCEL)), (std::vector<int>{IDRETRY, IDCANCEL}));
}

TEST(X11MessageBox, EscapeAnswersCancelOrTheLoneOkAndQuestionsMustBeAnswered) {
    EXPECT_EQ(LayoutFor(MB_OK).escapeAnswer, IDOK);
    EXPECT_EQ(LayoutFor(MB_OKCANCEL).escapeAnswer, IDCANCEL);
    EXPECT_EQ(LayoutFor(MB_YESNOCANCEL).escapeAnswer, IDCANCEL);
    EXPECT_FALSE(LayoutFor(MB_YESNO).escapeAnswer);
    EXPECT_FALSE(LayoutFor(MB_ABORTRETRYIGNORE).escapeAnswer);
}

TEST(X11MessageBox, DefaultButtonAndIconFollowTheStyle) {
    EXPECT_EQ(LayoutFor(MB_OKCANCEL).defaultButton, 0u);
    EXPECT_EQ(LayoutFor(MB_OKCANCEL | MB_DEFBUTTON2).defaultButton, 1u);
    EXPECT_EQ(LayoutFor(MB_YESNOCANCEL | MB_DEFBUTTON3).defaultButton, 2u);
    EXPECT_EQ(LayoutFor(MB_OK | MB_DEFBUTTON3).defaultButton, 0u);  // no third button
    EXPECT_EQ(LayoutFor(MB_OK).icon, BoxIcon::kNone);
    EXPECT_EQ(LayoutFor(MB_ICONERROR).icon, BoxIcon::kError);
    EXPECT_EQ(LayoutFor(MB_OKCANCEL | MB_ICONQUESTION).icon, BoxIcon::kQuestion);
    EXPECT_EQ(LayoutFor(MB_ICONWARNING).icon, BoxIcon::kWarning);
    EXPECT_EQ(LayoutFor(MB_ICONINFORMATION).icon, BoxIcon::kInformation);
}

TEST(X11Titles, TheUtf8NameWinsOverTheOldOne) {
    EXPECT_EQ(ChooseTitle(std::string("Ostrel"), std::string("Ostr?l")), "Ostrel");
    EXPECT_EQ(ChooseTitle(std::nullopt, std::string("Vardle")), "Vardle");
    EXPECT_EQ(ChooseTitle(std::string(""), std::string("Vardle")), "");  // set, though empty
    EXPECT_EQ(ChooseTitle(std::nullopt, std::nullopt), "");
}

TEST(X11SaveAs, FiltersBecomeChooserLines) {
    EXPECT_EQ(FltkFilterText(ParseFileFilter("png|*.png||")), "png\t*.png");
    EXPECT_EQ(FltkFilterText(ParseFileFilter("Pictures|*.png;*.bmp|All|*.*||")),
              "Pictures\t*.{png,bmp}\nAll\t*.*");
    // Patterns that cannot be joined show everything rather than hide files.
    EXPECT_EQ(FltkFilterText({FileFilter{"odd\tname", {"a*", "*.b"}}}), "odd name\t*");
    EXPECT_EQ(FltkFilterText({}), "");
}

TEST(X11SaveAs, TheProposedFileIsAnAbsolutePathInTheFolder) {
    EXPECT_EQ(PresetPath("/home/u/Stamps", "Sunset.png"), "/home/u/Stamps/Sunset.png");
    EXPECT_EQ(PresetPath("/home/u/Stamps/", "Sunset.png"), "/home/u/Stamps/Sunset.png");
    EXPECT_EQ(PresetPath("/home/u", "/tmp/x.png"), "/tmp/x.png");
    EXPECT_EQ(PresetPath("/home/u", ""), "");
}
