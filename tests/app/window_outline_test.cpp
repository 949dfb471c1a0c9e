// The main window's outline, against the bands of the two region resources.
#include "app/main_window/window_outline.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/resources/wizard_resources.h"
#include "platform/base/dib_header.h"
#include "platform/gdi/gdi.h"

namespace {

// The rectangles of a region resource (header of 32 bytes, then 16 a rectangle).
std::vector<RECT> Bands(int id) {
    const std::vector<BYTE> block = RegionResource(id);
    std::vector<RECT> bands;
    for (std::size_t at = 32; at + 16 <= block.size(); at += 16) {
        auto field = [&](int k) { return static_cast<LONG>(LoadLE32(block.data() + at + 4 * k)); };
        bands.push_back(RECT{field(0), field(1), field(2), field(3)});
    }
    return bands;
}

// First and one-past-last x of the outline on a row (the row is one span).
std::pair<LONG, LONG> Span(HRGN rgn, LONG y) {
    LONG first = -1, end = -1;
    for (LONG x = 0; x < 580; ++x) {
        if (!PtInRegion(rgn, x, y)) continue;
        if (first < 0) first = x;
        end = x + 1;
    }
    return {first, end};
}

class WindowOutline : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterWizardResources(); }
};

}  // namespace

TEST_F(WindowOutline, ResourcesHoldTheirBands) {
    const std::vector<RECT> right = Bands(IDR_SHAPE_RIGHT), left = Bands(IDR_SHAPE_LEFT);
    ASSERT_EQ(right.size(), 29u);
    ASSERT_EQ(left.size(), 28u);
    const std::vector<BYTE> block = RegionResource(IDR_SHAPE_RIGHT);
    EXPECT_EQ(LoadLE32(block.data()), 32u);
    EXPECT_EQ(LoadLE32(block.data() + 12), 464u);
    EXPECT_EQ(LoadLE32(block.data() + 28), 181u);  // bounds bottom
    for (const RECT& band : right)
        EXPECT_EQ(band.right, 33);
    EXPECT_EQ(right.back().left, 0);
    EXPECT_EQ(left.front().left, 1);
}

TEST_F(WindowOutline, LowerSidesBendInwardsBelowRow230) {
    HRGN w = BuildMainWindowOutline();
    // Above row 230: the rounded rectangle, full width away from the corners.
    EXPECT_EQ(Span(w, 100), std::make_pair(0, 580));
    EXPECT_EQ(Span(w, 229), std::make_pair(0, 580));
    EXPECT_FALSE(PtInRegion(w, 0, 0));
    // Row 230: left edge at x = 1, right edge at x = 579 (exclusive).
    EXPECT_EQ(Span(w, 230), std::make_pair(1, 579));
    // Every band of the two resources shows on its rows.
    for (const RECT& band : Bands(IDR_SHAPE_LEFT))
        EXPECT_EQ(Span(w, 230 + band.top).first, band.left) << band.top;
    const std::vector<RECT> right = Bands(IDR_SHAPE_RIGHT);
    for (std::size_t i = 0; i + 1 < right.size(); ++i)
        EXPECT_EQ(Span(w, 230 + right[i].top).second, 547 + right[i].left) << right[i].top;
    // The bends end at x = 30 on the left (row 409, the last of resource 138)
    // and x = 547 on the right (row 410, the last of resource 137).
    EXPECT_EQ(Span(w, 409), std::make_pair(30, 550));
    EXPECT_EQ(Span(w, 410), std::make_pair(33, 547));
    EXPECT_FALSE(PtInRegion(w, 290, 411));
    DeleteObject(w);
}
