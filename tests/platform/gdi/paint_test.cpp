#include <gtest/gtest.h>

#include <cstring>

#include "gdi_test_util.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(128, 128, 128);

}  // namespace

TEST(Rectangle, PenOutlineAndBrushInsideExcludeRightAndBottom) {
    TestCanvas c(20, 20);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(c.dc, red);
    EXPECT_TRUE(Rectangle(c.dc, 2, 3, 8, 9));
    EXPECT_EQ(c.At(2, 3), kBlack);  // pen
    EXPECT_EQ(c.At(7, 8), kBlack);
    EXPECT_EQ(c.At(3, 4), RGB(255, 0, 0));  // brush
    EXPECT_EQ(c.At(8, 5), kWhite);          // right edge excluded
    EXPECT_EQ(c.At(5, 9), kWhite);          // bottom edge excluded
    EXPECT_EQ(c.Count(RECT{0, 0, 20, 20}, kBlack), 2 * 6 + 2 * 4);

    // Without a pen the brush stops one pixel short, as in GDI.
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    Rectangle(c.dc, 10, 10, 14, 14);
    EXPECT_EQ(c.Count(RECT{10, 10, 15, 15}, RGB(255, 0, 0)), 9);
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(DeleteObject(red));
}

TEST(Rectangle, NotModeDrawnTwiceRestoresEveryPixelEvenOverlapping) {
    TestCanvas c(40, 40);
    for (LONG y = 0; y < 40; ++y)
        for (LONG x = 0; x < 40; ++x)
            c.surface->Put(x, y, RGB(x * 6, y * 6, (x ^ y) * 4));
    const Surface before = *c.surface;
    SetROP2(c.dc, R2_NOT);
    // The selection frame's handles and dashes, some overlapping and clipped.
    const RECT boxes[] = {{2, 2, 12, 12}, {8, 8, 18, 18}, {30, 30, 45, 45}, {20, 5, 21, 25}};
    for (int pass = 0; pass < 2; ++pass)
        for (const RECT& r : boxes)
            Rectangle(c.dc, r.left, r.top, r.right, r.bottom);
    EXPECT_EQ(std::memcmp(before.Bits(), c.surface->Bits(), before.Stride() * 40), 0);
    // Drawn once, every pixel of the square is inverted exactly once.
    Rectangle(c.dc, 2, 2, 12, 12);
    for (LONG y = 2; y < 12; ++y)
        for (LONG x = 2; x < 12; ++x)
            EXPECT_EQ(c.At(x, y), ~before.Get(x, y) & 0xFFFFFF);
    EXPECT_EQ(c.At(12, 5), before.Get(12, 5));
}

TEST(FillRect, CopiesWhateverTheMixModeAndRespectsTheClip) {
    TestCanvas c(10, 10);
    SetROP2(c.dc, R2_NOT);
    IntersectClipRect(c.dc, 0, 0, 5, 10);
    HBRUSH grey = CreateSolidBrush(kGrey);
    const RECT r{0, 0, 10, 10};
    EXPECT_EQ(FillRect(c.dc, &r, grey), 1);
    EXPECT_EQ(c.Count(r, kGrey), 50);
    EXPECT_EQ(c.At(5, 0), kWhite);
    DeleteObject(grey);
}

TEST(HatchBrush, PatternFollowsTheDeviceNotTheWindowOrigin) {
    // Diagonal rising to the right: pattern pixel (x, y) set when x + y = 7 (mod 8).
    TestCanvas c(32, 32);
    HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, kGrey);
    const RECT r{0, 0, 32, 32};
    FillRect(c.dc, &r, hatch);
    for (LONG y = 0; y < 32; ++y)
        for (LONG x = 0; x < 32; ++x)
            ASSERT_EQ(c.At(x, y), (x + y) % 8 == 7 ? kGrey : kWhite) << x << "," << y;

    // Moving the window origin moves the rectangle, not the pattern.
    TestCanvas moved(32, 32, kBlack);
    SetWindowOrgEx(moved.dc, -3, -5, nullptr);
    FillRect(moved.dc, &r, hatch);
    EXPECT_EQ(moved.At(2, 10), kBlack);  // left of the moved rectangle
    for (LONG y = 5; y < 32; ++y)
        for (LONG x = 3; x < 32; ++x)
            ASSERT_EQ(moved.At(x, y), c.At(x, y)) << x << "," << y;

    // The brush origin does move it.
    SetBrushOrgEx(moved.dc, 1, 0, nullptr);
    FillRect(moved.dc, &r, hatch);
    EXPECT_EQ(moved.At(9, 7), kGrey);
    EXPECT_EQ(moved.At(8, 7), kWhite);
    DeleteObject(hatch);
}

TEST(HatchBrush, GapsTakeTheBackgroundOnlyWhenOpaque) {
    TestCanvas c(16, 8, RGB(0, 0, 255));
    HBRUSH hatch = CreateHatchBrush(HS_CROSS, kBlack);
    SetBkColor(c.dc, RGB(0, 255, 0));
    const RECT left{0, 0, 8, 8}, right{8, 0, 16, 8};
    FillRect(c.dc, &left, hatch);
    SetBkMode(c.dc, TRANSPARENT);
    FillRect(c.dc, &right, hatch);
    EXPECT_EQ(c.At(7, 2), kBlack);
    EXPECT_EQ(c.At(2, 2), RGB(0, 255, 0));
    EXPECT_EQ(c.At(10, 2), RGB(0, 0, 255));
    EXPECT_EQ(c.At(15, 3), kBlack);
    DeleteObject(hatch);
}

TEST(Pixels, SetAndGetHonourOriginAndClip) {
    TestCanvas c(8, 8);
    SetViewportOrgEx(c.dc, 2, 1, nullptr);
    EXPECT_EQ(SetPixel(c.dc, 0, 0, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(c.At(2, 1), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(c.dc, 0, 0), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(c.dc, 6, 0), CLR_INVALID);  // off the surface
    ExcludeClipRect(c.dc, 1, 1, 2, 2);
    EXPECT_EQ(SetPixel(c.dc, 1, 1, kBlack), CLR_INVALID);
    EXPECT_EQ(c.At(3, 2), kWhite);
    EXPECT_EQ(GetPixel(c.dc, 1, 1), CLR_INVALID);
}

TEST(Clipping, BoxAndRegionModes) {
    TestCanvas c(100, 50);
    RECT box;
    EXPECT_EQ(GetClipBox(c.dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 100);
    EXPECT_EQ(IntersectClipRect(c.dc, 10, 10, 30, 30), SIMPLEREGION);
    HRGN extra = CreateRectRgn(50, 0, 60, 10);
    EXPECT_EQ(ExtSelectClipRgn(c.dc, extra, RGN_OR), COMPLEXREGION);
    GetClipBox(c.dc, &box);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.right, 60);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(ExtSelectClipRgn(c.dc, extra, RGN_AND), SIMPLEREGION);
    EXPECT_EQ(IntersectClipRect(c.dc, 0, 20, 5, 25), NULLREGION);
    EXPECT_EQ(GetClipBox(c.dc, &box), NULLREGION);
    EXPECT_EQ(ExtSelectClipRgn(c.dc, nullptr, RGN_AND), ERROR);
    EXPECT_EQ(ExtSelectClipRgn(c.dc, nullptr, RGN_COPY), SIMPLEREGION);
    EXPECT_EQ(GetClipRgn(c.dc, extra), 0);
    // The clip box is reported in logical coordinates.
    SetWindowOrgEx(c.dc, 10, 0, nullptr);
    GetClipBox(c.dc, &box);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.right, 110);
    DeleteObject(extra);
}

TEST(Objects, StaleHandlesAndSelectedObjectsAreSafe) {
    TestCanvas c(4, 4);
    HBRUSH brush = CreateSolidBrush(RGB(9, 9, 9));
    SelectObject(c.dc, brush);
    EXPECT_TRUE(DeleteObject(brush));  // still selected: the DC keeps it alive
    EXPECT_FALSE(DeleteObject(brush));
    Rectangle(c.dc, 0, 0, 4, 4);
    EXPECT_EQ(c.At(1, 1), RGB(9, 9, 9));
    EXPECT_EQ(FillRect(c.dc, nullptr, brush), 0);
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));  // stock objects stay
    EXPECT_NE(GetStockObject(BLACK_BRUSH), nullptr);
    EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(brush), GetStockObject(BLACK_PEN)), nullptr);
}
