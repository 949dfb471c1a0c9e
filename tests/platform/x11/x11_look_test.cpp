// The x11 back end's own dialogs and large screens, without a display: the scale
// the desktop asks for, points and shapes mapped between the window system and the
// screen, and the message box and menu drawn in the wizard's look with their keys.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/backends/x11/caption_strip.h"
#include "platform/backends/x11/display_scale.h"
#include "platform/backends/x11/shape_rects.h"
#include "platform/backends/x11/styled_box.h"
#include "platform/backends/x11/styled_menu.h"
#include "platform/backends/x11/surface_view.h"
#include "platform/window/dialog_look.h"

namespace {

bool Inside(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

POINT Middle(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::vector<MenuItem> SystemLikeMenu() {
    return {{1, "About", false}, {0, "", true}, {0xF020, "&Reduce", false}};
}

}  // namespace

TEST(X11Scale, TheOwnSettingWinsThenTheToolkitsThenTheFontResolution) {
    EXPECT_EQ(ChooseScale(nullptr, nullptr, std::nullopt), 1);
    EXPECT_EQ(ChooseScale("3", "2", 192.0), 3);
    EXPECT_EQ(ChooseScale("1", "2", 192.0), 1);  // turned off on purpose
    EXPECT_EQ(ChooseScale(nullptr, "2", 96.0), 2);
    EXPECT_EQ(ChooseScale(nullptr, "1", 192.0), 1);
    EXPECT_EQ(ChooseScale(nullptr, nullptr, 192.0), 2);
    EXPECT_EQ(ChooseScale(nullptr, nullptr, 191.9), 1);
    EXPECT_EQ(ChooseScale(nullptr, nullptr, 144.0), 1);  // one and a half is not whole
    EXPECT_EQ(ChooseScale(nullptr, nullptr, 300.0), 3);
    // Nonsense is passed over, never trusted.
    EXPECT_EQ(ChooseScale("two", " 2 ", std::nullopt), 2);
    EXPECT_EQ(ChooseScale("0", nullptr, std::nullopt), 1);
    EXPECT_EQ(ChooseScale("-2", "1.5", 192.0), 2);
    EXPECT_EQ(ChooseScale("99", "64", std::nullopt), kMaxScale);
    EXPECT_EQ(ChooseScale(nullptr, nullptr, 1e300), 1);
}

TEST(X11Scale, FontResolutionIsReadFromTheResourceText) {
    EXPECT_EQ(XftDpiOf("Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n"), 192.0);
    EXPECT_EQ(XftDpiOf("Xft.dpi: 96\nXft.dpi: 288\n"), 288.0);
    EXPECT_EQ(XftDpiOf("*.dpi:\t192\n"), std::nullopt);
    EXPECT_EQ(XftDpiOf("Xft.dpi:\tlots\n"), std::nullopt);
    EXPECT_EQ(XftDpiOf(""), std::nullopt);
}

TEST(X11Scale, ScreenPointsMapBackToTheWindowPixelUnderThem) {
    const DisplayScale two{2}, three{3};
    EXPECT_EQ(two.ToWindow(0), 0);
    EXPECT_EQ(two.ToWindow(1), 0);
    EXPECT_EQ(two.ToWindow(1159), 579);
    // Left of or above the window (the mouse held outside) stays outside it.
    EXPECT_EQ(two.ToWindow(-1), -1);
    EXPECT_EQ(two.ToWindow(-2), -1);
    EXPECT_EQ(two.ToWindow(-3), -2);
    EXPECT_EQ(three.ToWindow(-1), -1);
    for (LONG v = -20; v <= 20; ++v) {
        EXPECT_EQ(three.ToWindow(three.ToScreen(v)), v);
        const LONG back = three.ToWindow(v);
        EXPECT_TRUE(three.ToScreen(back) <= v && v < three.ToScreen(back + 1)) << v;
    }
    const RECT r = two.ToScreen(RECT{10, 20, 590, 431});
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.bottom, 862);
}

TEST(X11Scale, TheShapeCoversExactlyTheScaledPixelsOfTheRegion) {
    Region outline = Region::RoundRect(RECT{0, 0, 58, 41}, 16, 16);
    outline = Region::Combine(outline, Region(RECT{0, 23, 4, 41}), Region::Op::Diff);
    outline = Region::Combine(outline, Region(RECT{50, 30, 58, 41}), Region::Op::Diff);
    for (int scale : {1, 2, 3}) {
        const auto rects = ShapeRectangles(outline, 58, 41, scale);
        for (LONG y = 0; y < 41 * scale; ++y) {
            for (LONG x = 0; x < 58 * scale; ++x) {
                int covering = 0;
                for (const XRectangle& r : rects)
                    covering += x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
                ASSERT_EQ(covering, outline.Contains(x / scale, y / scale) ? 1 : 0)
                    << "scale " << scale << " at " << x << "," << y;
            }
        }
    }
    // Cut to X's 16-bit coordinates however large the scale makes it.
    for (const XRectangle& r : ShapeRectangles(Region(RECT{0, 0, 5000, 10}), 5000, 10, 8))
        EXPECT_LE(r.x + r.width, 32767);
}

TEST(X11Scale, SurfacePixelsBecomeSquaresInTheScreensColourOrder) {
    Surface surface(3, 2);
    surface.Put(0, 0, RGB(255, 0, 0));
    surface.Put(1, 0, RGB(0, 255, 0));
    surface.Put(2, 1, RGB(0, 0, 255));
    const RgbBlock all = ScaledRgb(surface, RECT{0, 0, 6, 4}, 2);
    ASSERT_EQ(all.rgb.size(), 6u * 4 * 3);
    auto at = [&](const RgbBlock& b, int x, int y) {
        const std::size_t width = static_cast<std::size_t>(b.area.right - b.area.left);
        const unsigned char* p = &b.rgb[(y * width + x) * 3];
        return RGB(p[0], p[1], p[2]);
    };
    EXPECT_EQ(at(all, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(at(all, 2, 0), RGB(0, 255, 0));
    EXPECT_EQ(at(all, 5, 3), RGB(0, 0, 255));
    // An area reaching past the surface is cut to it; one beside it is empty.
    const RgbBlock part = ScaledRgb(surface, RECT{3, 1, 40, 40}, 2);
    EXPECT_EQ(part.area.right, 6);
    EXPECT_EQ(part.area.bottom, 4);
    EXPECT_EQ(at(part, 2, 2), RGB(0, 0, 255));
    EXPECT_TRUE(ScaledRgb(surface, RECT{6, 0, 9, 4}, 2).rgb.empty());
    EXPECT_TRUE(ScaledRgb(surface, RECT{-5, -5, -1, -1}, 2).rgb.empty());
}

TEST(X11StyledBox, ButtonsSitRightAlignedUnderTheTextAndScaleWithTheBox) {
    const std::string text = "Do you want to leave the wizard?";
    const BoxLayout layout = LayoutFor(MB_YESNOCANCEL | MB_ICONQUESTION);
    const BoxGeometry g = LayOutBox(text, layout, 1);
    const RECT box{0, 0, g.width, g.height};
    ASSERT_EQ(g.buttons.size(), 3u);
    EXPECT_TRUE(Inside(box, g.icon));
    EXPECT_TRUE(Inside(box, g.text));
    EXPECT_GE(g.text.left, g.icon.right);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(Inside(box, g.buttons[i]));
        EXPECT_GT(g.buttons[i].top, g.ruleY);
        EXPECT_EQ(g.buttons[i].bottom - g.buttons[i].top, look::kButtonHeight);
        if (i) {
            EXPECT_GT(g.buttons[i].left, g.buttons[i - 1].right);
        }
    }
    EXPECT_EQ(g.width - g.buttons[2].right, 20);
    EXPECT_EQ(ButtonAt(g, Middle(g.buttons[1]).x, Middle(g.buttons[1]).y), 1u);
    EXPECT_EQ(ButtonAt(g, 1, 1), std::nullopt);

    const BoxGeometry big = LayOutBox(text, layout, 2);
    EXPECT_NEAR(big.width, 2 * g.width, 8);
    EXPECT_NEAR(big.height, 2 * g.height, 8);
    // A long text wraps instead of widening the box without end.
    const BoxGeometry wrapped =
        LayOutBox(std::string(60, 'w') + " " + std::string(400, 'x'), LayoutFor(MB_OK), 1);
    EXPECT_LE(wrapped.text.right - wrapped.text.left, 360);
    EXPECT_GT(wrapped.text.bottom - wrapped.text.top, 5 * look::kTextPixels);
    EXPECT_GT(std::count(wrapped.lines.begin(), wrapped.lines.end(), '\n'), 3);
    EXPECT_EQ(LayOutBox("", LayoutFor(MB_OK), 1).icon.right, 0);  // no icon asked for
}

TEST(X11StyledBox, TheFocusedButtonIsBlueOnThePageColourWithItsSign) {
    const BoxLayout layout = LayoutFor(MB_YESNO | MB_ICONERROR | MB_DEFBUTTON2);
    const BoxGeometry g = LayOutBox("The picture could not be opened.", layout, 1);
    Surface surface(g.width, g.height);
    PaintBox(surface, layout, g, layout.defaultButton, std::nullopt, 1);
    EXPECT_EQ(surface.Get(2, 2), look::kPage);
    const POINT no = Middle(g.buttons[1]), yes = Middle(g.buttons[0]);
    EXPECT_EQ(surface.Get(no.x - 30, g.buttons[1].top + 3), look::kAccent);
    EXPECT_EQ(surface.Get(yes.x - 30, g.buttons[0].top + 3), look::kPanel);
    // Rounded: the very corner of the blue button is not blue.
    EXPECT_NE(surface.Get(g.buttons[1].left, g.buttons[1].top), look::kAccent);
    // The error sign: red around a white cross.
    EXPECT_EQ(surface.Get(g.icon.left + 5, Middle(g.icon).y), RGB(0xD9, 0x53, 0x4F));
    EXPECT_EQ(surface.Get(Middle(g.icon).x, Middle(g.icon).y), RGB(255, 255, 255));
    int dark = 0;
    for (LONG y = g.text.top; y < g.text.bottom; ++y)
        for (LONG x = g.text.left; x < g.text.right; ++x)
            dark += GetRValue(surface.Get(x, y)) < 100;
    EXPECT_GT(dark, 40) << "the text's strokes";
}

TEST(X11StyledBox, KeysMoveTheFocusAndAnswerAsBefore) {
    const BoxLayout question = LayoutFor(MB_YESNO | MB_ICONQUESTION);
    BoxKeys keys(question);
    EXPECT_EQ(keys.Key(VK_ESCAPE, false, U'\x1b'), std::nullopt);  // must be answered
    EXPECT_EQ(keys.Key(VK_TAB, false, U'\t'), std::nullopt);
    EXPECT_EQ(keys.Focused(), 1u);
    EXPECT_EQ(keys.Key(VK_RETURN, false, U'\r'), IDNO);
    keys.Key(VK_TAB, false, U'\t');  // wraps to the first
    EXPECT_EQ(keys.Key(VK_SPACE, false, U' '), IDYES);
    keys.Key(VK_TAB, true, U'\t');
    keys.Key(VK_LEFT, false, std::nullopt);
    EXPECT_EQ(keys.Focused(), 0u);
    EXPECT_EQ(keys.Key('N', false, U'n'), IDNO);
    EXPECT_EQ(keys.Key('Y', true, U'Y'), IDYES);
    EXPECT_EQ(keys.Key('X', false, U'x'), std::nullopt);

    const BoxLayout retry = LayoutFor(MB_RETRYCANCEL | MB_DEFBUTTON2);
    BoxKeys retryKeys(retry);
    EXPECT_EQ(retryKeys.Key(VK_RETURN, false, U'\r'), IDCANCEL);
    EXPECT_EQ(retryKeys.Key(VK_ESCAPE, false, U'\x1b'), IDCANCEL);
    EXPECT_EQ(retryKeys.Key('R', false, U'r'), IDRETRY);
    BoxKeys lone(LayoutFor(MB_OK));
    EXPECT_EQ(lone.Key(VK_ESCAPE, false, U'\x1b'), IDOK);
    EXPECT_EQ(ShortcutLetter("Fish && &Chips"), U'c');
    EXPECT_EQ(ShortcutLetter("trailing&"), 0u);
}

TEST(X11StyledMenu, RowsSeparatorsAndTheChosenRowInBlue) {
    const auto items = SystemLikeMenu();
    const MenuGeometry g = LayOutMenu(items, 1);
    ASSERT_EQ(g.rows.size(), 3u);
    EXPECT_LT(g.rows[1].bottom - g.rows[1].top, g.rows[0].bottom - g.rows[0].top);
    EXPECT_EQ(ItemAt(items, g, Middle(g.rows[0]).x, Middle(g.rows[0]).y), 0u);
    EXPECT_EQ(ItemAt(items, g, Middle(g.rows[1]).x, Middle(g.rows[1]).y), std::nullopt);
    EXPECT_EQ(ItemAt(items, g, Middle(g.rows[2]).x, Middle(g.rows[2]).y), 2u);
    EXPECT_EQ(ItemAt(items, g, -1, Middle(g.rows[0]).y), std::nullopt);

    Surface surface(g.width, g.height);
    PaintMenu(surface, items, g, 2u, 1);
    EXPECT_EQ(surface.Get(0, 0), look::kBorder);
    EXPECT_EQ(surface.Get(g.rows[0].right - 4, Middle(g.rows[0]).y), look::kPanel);
    EXPECT_EQ(surface.Get(g.rows[2].right - 4, Middle(g.rows[2]).y), look::kAccent);
    const MenuGeometry big = LayOutMenu(items, 2);
    EXPECT_EQ(big.height, 2 * g.height);
}

TEST(X11StyledMenu, ArrowsStepOverSeparatorsAndEnterOrALetterChooses) {
    const auto items = SystemLikeMenu();
    MenuKeys keys(items);
    EXPECT_EQ(keys.Key(VK_RETURN, U'\r').closes, true);  // nothing chosen yet
    EXPECT_EQ(keys.Key(VK_RETURN, U'\r').chosen, 0u);
    keys.Key(VK_DOWN, std::nullopt);
    EXPECT_EQ(keys.Selected(), 0u);
    keys.Key(VK_DOWN, std::nullopt);
    EXPECT_EQ(keys.Selected(), 2u);
    EXPECT_EQ(keys.Key(VK_RETURN, U'\r').chosen, 0xF020u);
    keys.Key(VK_DOWN, std::nullopt);  // wraps
    EXPECT_EQ(keys.Selected(), 0u);
    MenuKeys fromNone(items);
    fromNone.Key(VK_UP, std::nullopt);
    EXPECT_EQ(fromNone.Selected(), 2u);
    fromNone.Key(VK_HOME, std::nullopt);
    EXPECT_EQ(fromNone.Selected(), 0u);
    const auto escape = fromNone.Key(VK_ESCAPE, U'\x1b');
    EXPECT_TRUE(escape.closes);
    EXPECT_EQ(escape.chosen, 0u);
    EXPECT_EQ(fromNone.Key('R', U'r').chosen, 0xF020u);
    EXPECT_FALSE(fromNone.Key('A', U'a').closes);  // "About" marks no letter
    const std::vector<MenuItem> onlySeparators{{0, "", true}};
    MenuKeys none(onlySeparators);
    none.Key(VK_DOWN, std::nullopt);
    EXPECT_EQ(none.Selected(), std::nullopt);
}

TEST(X11Caption, TheStripDragsItsCloseButtonClosesAndBothScale) {
    for (int scale : {1, 2}) {
        const LONG width = 364 * scale;
        const RECT close = CaptionCloseButton(width, scale);
        EXPECT_EQ(close.right, width - 4 * scale);
        EXPECT_EQ(CaptionPartAt(width, Middle(close).x, Middle(close).y, scale),
                  CaptionPart::kClose);
        EXPECT_EQ(CaptionPartAt(width, 10 * scale, 10 * scale, scale), CaptionPart::kStrip);
        EXPECT_EQ(CaptionPartAt(width, 10, kCaptionHeight * scale, scale), CaptionPart::kNone);
        EXPECT_EQ(CaptionPartAt(width, -1, 5, scale), CaptionPart::kNone);
        Surface strip(width, kCaptionHeight * scale);
        PaintCaption(strip, "About Ostrel wizard", false, scale);
        EXPECT_EQ(strip.Get(close.left + 2 * scale, close.bottom - 2 * scale),
                  RGB(0xD9, 0x53, 0x4F));
        const COLORREF strip10 = strip.Get(width / 2, 3 * scale);
        EXPECT_GT(GetBValue(strip10), 150);
        EXPECT_LT(GetRValue(strip10), 80);
    }
    Surface tiny(10, 4);  // a strip cut short by a small surface draws what fits
    PaintCaption(tiny, "x", true, 3);
}
