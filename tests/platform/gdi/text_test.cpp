#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "gdi_test_util.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

HFONT Font(const char* face, int height, int weight = FW_NORMAL) {
    return CreateFont(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
}

// Bounding box of every pixel that is not the background colour.
RECT Ink(const TestCanvas& c, COLORREF background) {
    RECT box{c.surface->Width(), c.surface->Height(), -1, -1};
    for (LONG y = 0; y < c.surface->Height(); ++y)
        for (LONG x = 0; x < c.surface->Width(); ++x)
            if (c.At(x, y) != background) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box;
}

}  // namespace

TEST(Fonts, ArialAndItsCodePageVariantsResolveToLiberationSans) {
    TestCanvas c(4, 4);
    for (const char* face : {"Arial", "Arial CE", "Arial CYR", "MS Shell Dlg"}) {
        HFONT f = Font(face, -12);
        SelectObject(c.dc, f);
        EXPECT_EQ(GetResolvedFontFamily(c.dc), "Liberation Sans") << face;
        SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(f);
    }
}

TEST(Fonts, HeightsFollowGdiAndMetricsAreConsistent) {
    TestCanvas c(4, 4);
    HFONT em = Font("Arial", -16);
    HFONT cell = Font("Arial", 18);
    TEXTMETRIC a{}, b{};
    SelectObject(c.dc, em);
    ASSERT_TRUE(GetTextMetrics(c.dc, &a));
    SelectObject(c.dc, cell);
    ASSERT_TRUE(GetTextMetrics(c.dc, &b));
    // A negative height is the em size, a positive one the cell height.
    EXPECT_EQ(a.tmHeight - a.tmInternalLeading, 16);
    EXPECT_EQ(b.tmHeight, 18);
    EXPECT_EQ(a.tmAscent + a.tmDescent, a.tmHeight);
    SIZE one{}, two{};
    GetTextExtentPoint32(c.dc, "ab", 2, &one);
    GetTextExtentPoint32(c.dc, "abab", 4, &two);
    EXPECT_EQ(two.cx, 2 * one.cx);
    EXPECT_EQ(one.cy, b.tmHeight);
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(em);
    DeleteObject(cell);
}

TEST(TextOut, AntiAliasesAgainstTheBackgroundAndFillsTheCellWhenOpaque) {
    TestCanvas c(120, 30, RGB(255, 0, 0));
    HFONT f = Font("Arial", -20);
    SelectObject(c.dc, f);
    SetBkMode(c.dc, TRANSPARENT);
    SetTextColor(c.dc, RGB(0, 0, 255));
    ASSERT_TRUE(TextOut(c.dc, 2, 2, "Wave", 4));
    int partial = 0, full = 0;
    for (LONG y = 0; y < 30; ++y)
        for (LONG x = 0; x < 120; ++x) {
            const COLORREF p = c.At(x, y);
            EXPECT_EQ(GetGValue(p), 0);                        // only red and blue mix
            EXPECT_NEAR(GetRValue(p) + GetBValue(p), 255, 1);  // ... and sum to one
            full += p == RGB(0, 0, 255);
            partial += GetRValue(p) > 0 && GetBValue(p) > 0;
        }
    EXPECT_GT(full, 20);
    EXPECT_GT(partial, 20);

    TestCanvas opaque(120, 30, RGB(255, 0, 0));
    SelectObject(opaque.dc, f);
    SetBkColor(opaque.dc, RGB(0, 255, 0));
    SIZE size{};
    GetTextExtentPoint32(opaque.dc, "Wave", 4, &size);
    TextOut(opaque.dc, 2, 2, "Wave", 4);
    EXPECT_EQ(opaque.At(2, 2), RGB(0, 255, 0));
    EXPECT_EQ(opaque.At(2 + size.cx - 1, 2 + size.cy - 1), RGB(0, 255, 0));
    EXPECT_EQ(opaque.At(2 + size.cx, 2), RGB(255, 0, 0));
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    SelectObject(opaque.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

TEST(TextOut, MissingGlyphsComeFromTheFallbackFont) {
    TestCanvas c(80, 30);
    HFONT f = Font("Arial", -16);
    SelectObject(c.dc, f);
    SIZE size{};
    GetTextExtentPoint32(c.dc, "\xE4\xB8\xAD", 3, &size);  // U+4E2D
    EXPECT_GE(size.cx, 14);
    TextOut(c.dc, 0, 0, "\xE4\xB8\xAD", 3);
    EXPECT_GT(c.Count(RECT{0, 0, 80, 30}, RGB(0, 0, 0)), 10);
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

TEST(DrawText, BreaksWordsToTheWidthAlignsAndClips) {
    TestCanvas c(200, 120);
    HFONT f = Font("Arial", -14);
    SelectObject(c.dc, f);
    SetBkMode(c.dc, TRANSPARENT);
    TEXTMETRIC tm{};
    GetTextMetrics(c.dc, &tm);
    const char* text = "The picture you chose is larger than a stamp";
    RECT measure{10, 10, 110, 10};
    const int height = DrawText(c.dc, text, -1, &measure, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_GE(height, 3 * tm.tmHeight);
    EXPECT_EQ(measure.bottom - measure.top, height);
    EXPECT_LE(measure.right, 110);
    EXPECT_EQ(c.Count(RECT{0, 0, 200, 120}, kWhite), 200 * 120);  // measuring draws nothing

    RECT right{10, 10, 110, 10 + height};
    DrawText(c.dc, text, -1, &right, DT_WORDBREAK | DT_RIGHT);
    const RECT ink = Ink(c, kWhite);
    EXPECT_LE(ink.right, 110);
    EXPECT_GE(ink.right, 105);
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.bottom, 10 + height);

    // A word wider than the rectangle stays whole and is clipped to it.
    TestCanvas clipped(200, 40);
    SelectObject(clipped.dc, f);
    RECT narrow{20, 5, 40, 35};
    DrawText(clipped.dc, "Unbreakable", -1, &narrow, DT_WORDBREAK);
    const RECT cut = Ink(clipped, kWhite);
    EXPECT_GE(cut.left, 20);
    EXPECT_EQ(cut.right, 40);
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    SelectObject(clipped.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

TEST(DrawText, SingleLineCentresBothWaysAndMarksThePrefix) {
    TestCanvas c(100, 40);
    HFONT f = Font("Arial", -12);
    SelectObject(c.dc, f);
    SetBkMode(c.dc, TRANSPARENT);
    RECT r{0, 0, 100, 40};
    DrawText(c.dc, "&About", -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    const RECT ink = Ink(c, kWhite);
    EXPECT_NEAR(ink.left, 100 - ink.right, 2);
    EXPECT_NEAR(ink.top, 40 - ink.bottom, 4);
    SIZE plain{};
    GetTextExtentPoint32(c.dc, "About", 5, &plain);
    EXPECT_NEAR(ink.right - ink.left, plain.cx, 2);  // the & is not drawn

    // The underline of the marked "A" is a run of solid pixels under it.
    int underline = 0;
    for (LONG x = ink.left; x < ink.left + 6; ++x)
        underline += c.At(x, ink.bottom - 1) == 0;
    EXPECT_GE(underline, 5);
    RECT calc{0, 0, 100, 0};
    DrawText(c.dc, "A&&B", -1, &calc, DT_SINGLELINE | DT_CALCRECT);
    SIZE amp{};
    GetTextExtentPoint32(c.dc, "A&B", 3, &amp);
    EXPECT_EQ(calc.right, amp.cx);
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

// Golden rendering: fonts, sizes, weights, scripts, fallback and wrapping.
// Any change of a pixel fails. When the fonts or FreeType change on purpose,
// regenerate the file with:
//   OSTREL_REGENERATE_GOLDEN=1 build/tests/platform_gdi_tests --gtest_filter='TextGolden.*'
// and review the new tests/platform/gdi/golden/text.ppm before committing it.
TEST(TextGolden, RenderingMatchesTheRecordedPicture) {
    TestCanvas c(240, 110);
    HFONT regular = Font("Arial", -13);
    HFONT bold = Font("Arial", -16, FW_BOLD);
    HFONT cyrillic = Font("Arial CYR", -12);
    SelectObject(c.dc, regular);
    TextOut(c.dc, 4, 2, "Ostrel: Choose a picture (gif, jpg)", 35);
    SelectObject(c.dc, bold);
    SetTextColor(c.dc, RGB(0, 0, 160));
    SetBkColor(c.dc, RGB(255, 255, 200));
    TextOut(c.dc, 4, 20, "Stamp 32 \xC3\x97 32", 14);
    SelectObject(c.dc, cyrillic);
    SetBkMode(c.dc, TRANSPARENT);
    SetTextColor(c.dc, RGB(128, 0, 0));
    const char* russian = "\xD0\x92\xD1\x8B\xD0\xB1\xD0\xB5\xD1\x80\xD0\xB8\xD1\x82\xD0\xB5";
    TextOut(c.dc, 4, 42, russian, static_cast<int>(std::strlen(russian)));
    SelectObject(c.dc, regular);
    SetTextColor(c.dc, RGB(0, 0, 0));
    RECT box{120, 40, 236, 108};
    DrawText(c.dc, "\xE9\x80\x89\xE6\x8B\xA9\xE5\x9B\xBE\xE7\x89\x87 Pick a picture and press next",
             -1, &box, DT_WORDBREAK | DT_CENTER);
    for (HGDIOBJ f : {HGDIOBJ(regular), HGDIOBJ(bold), HGDIOBJ(cyrillic)}) {
        SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(f);
    }

    std::string picture = "P6\n240 110\n255\n";
    for (LONG y = 0; y < 110; ++y)
        for (LONG x = 0; x < 240; ++x) {
            const COLORREF p = c.At(x, y);
            picture += {char(GetRValue(p)), char(GetGValue(p)), char(GetBValue(p))};
        }
    const std::string path = std::string(OSTREL_SOURCE_DIR) + "/tests/platform/gdi/golden/text.ppm";
    if (std::getenv("OSTREL_REGENERATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << picture;
        GTEST_SKIP() << "wrote " << path;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path << " is missing; see the comment above this test";
    const std::string golden((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(golden.size(), picture.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < golden.size(); ++i)
        differing += golden[i] != picture[i];
    EXPECT_EQ(differing, 0u) << "text rendering changed; see the comment above this test";
}
