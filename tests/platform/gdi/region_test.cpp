#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/region.h"

namespace {

std::vector<RECT> RectsOf(HRGN rgn) {
    const DWORD size = GetRegionData(rgn, 0, nullptr);
    std::vector<BYTE> block(size);
    auto* data = reinterpret_cast<RGNDATA*>(block.data());
    EXPECT_EQ(GetRegionData(rgn, size, data), size);
    std::vector<RECT> rects(data->rdh.nCount);
    std::memcpy(rects.data(), block.data() + sizeof(RGNDATAHEADER), rects.size() * sizeof(RECT));
    return rects;
}

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Builds a region data block as the resources store it: header then rectangles.
std::vector<BYTE> Block(const std::vector<RECT>& rects, DWORD type = RDH_RECTANGLES) {
    RGNDATAHEADER h{sizeof(RGNDATAHEADER),
                    type,
                    static_cast<DWORD>(rects.size()),
                    static_cast<DWORD>(16 * rects.size()),
                    {0, 0, 0, 0}};
    std::vector<BYTE> block(sizeof h + 16 * rects.size());
    std::memcpy(block.data(), &h, sizeof h);
    std::memcpy(block.data() + sizeof h, rects.data(), 16 * rects.size());
    return block;
}

}  // namespace

TEST(RegionCombine, EveryModeGivesTheCanonicalBandedResult) {
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    HRGN d = CreateRectRgn(0, 0, 0, 0);

    EXPECT_EQ(CombineRgn(d, a, b, RGN_AND), SIMPLEREGION);
    ASSERT_EQ(RectsOf(d).size(), 1u);
    EXPECT_TRUE(Same(RectsOf(d)[0], RECT{5, 5, 10, 10}));

    EXPECT_EQ(CombineRgn(d, a, b, RGN_OR), COMPLEXREGION);
    std::vector<RECT> expectOr{{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}};
    std::vector<RECT> got = RectsOf(d);
    ASSERT_EQ(got.size(), expectOr.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_TRUE(Same(got[i], expectOr[i])) << i;

    EXPECT_EQ(CombineRgn(d, a, b, RGN_XOR), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(d, 0, 0));
    EXPECT_FALSE(PtInRegion(d, 7, 7));
    EXPECT_TRUE(PtInRegion(d, 12, 7));
    EXPECT_EQ(RectsOf(d).size(), 4u);

    EXPECT_EQ(CombineRgn(d, a, b, RGN_DIFF), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(d, 4, 9));
    EXPECT_FALSE(PtInRegion(d, 5, 5));
    EXPECT_FALSE(PtInRegion(d, 10, 0));  // right edge excluded

    EXPECT_EQ(CombineRgn(d, b, nullptr, RGN_COPY), SIMPLEREGION);
    RECT box;
    EXPECT_EQ(GetRgnBox(d, &box), SIMPLEREGION);
    EXPECT_TRUE(Same(box, RECT{5, 5, 15, 15}));

    // Removing everything leaves a null region; unknown handles are refused.
    EXPECT_EQ(CombineRgn(d, a, a, RGN_DIFF), NULLREGION);
    EXPECT_EQ(CombineRgn(d, a, reinterpret_cast<HRGN>(&box), RGN_OR), ERROR);
    for (HRGN r : {a, b, d})
        EXPECT_TRUE(DeleteObject(r));
}

TEST(RegionCombine, TouchingPiecesMergeSoEqualSetsCompareEqual) {
    // Two halves side by side and two halves on top of each other both give
    // one rectangle.
    const RECT halves[] = {{0, 0, 5, 10}, {5, 0, 10, 10}, {0, 10, 10, 20}};
    const Region merged = Region::FromRects(halves);
    ASSERT_EQ(merged.Rects().size(), 1u);
    EXPECT_TRUE(Same(merged.Rects()[0], RECT{0, 0, 10, 20}));
    EXPECT_TRUE(merged == Region(RECT{0, 0, 10, 20}));
}

TEST(RegionOffset, MovesAndSaturatesInsteadOfWrapping) {
    HRGN r = CreateRectRgn(0, 0, 4, 4);
    EXPECT_EQ(OffsetRgn(r, 10, -2), SIMPLEREGION);
    RECT box;
    GetRgnBox(r, &box);
    EXPECT_TRUE(Same(box, RECT{10, -2, 14, 2}));
    EXPECT_EQ(OffsetRgn(r, 0x7FFFFFFF, 0), NULLREGION);  // squeezed to the limit
    DeleteObject(r);
}

TEST(RegionRoundRect, CornersFollowTheEllipseSymmetrically) {
    const Region r = Region::RoundRect(RECT{0, 0, 580, 411}, 16, 16);
    EXPECT_TRUE(r.Box().left == 0 && r.Box().right == 580 && r.Box().bottom == 411);
    for (auto [x, y] : {std::pair{0, 0}, {579, 0}, {0, 410}, {579, 410}, {2, 1}})
        EXPECT_FALSE(r.Contains(x, y)) << x << "," << y;
    for (auto [x, y] : {std::pair{8, 0}, {571, 0}, {0, 8}, {579, 402}, {290, 205}})
        EXPECT_TRUE(r.Contains(x, y)) << x << "," << y;
    // Mirror symmetry in both axes.
    for (LONG y = 0; y < 10; ++y)
        for (LONG x = 0; x < 10; ++x) {
            EXPECT_EQ(r.Contains(x, y), r.Contains(579 - x, y));
            EXPECT_EQ(r.Contains(x, y), r.Contains(x, 410 - y));
        }
}

TEST(ExtCreateRegion, ReadsTheBlockAndRefusesWhatDoesNotFit) {
    std::vector<BYTE> block = Block({{0, 0, 4, 2}, {2, 2, 6, 4}, {9, 9, 9, 12}});
    auto* data = reinterpret_cast<const RGNDATA*>(block.data());
    HRGN r = ExtCreateRegion(nullptr, static_cast<DWORD>(block.size()), data);
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(PtInRegion(r, 3, 1));
    EXPECT_TRUE(PtInRegion(r, 5, 3));
    EXPECT_FALSE(PtInRegion(r, 1, 3));
    EXPECT_EQ(RectsOf(r).size(), 2u);  // the empty rectangle adds nothing
    DeleteObject(r);

    // A count that claims more rectangles than the block holds, a short block,
    // another data type, or a real transform are all refused.
    EXPECT_EQ(ExtCreateRegion(nullptr, static_cast<DWORD>(block.size() - 1), data), nullptr);
    EXPECT_EQ(ExtCreateRegion(nullptr, 16, data), nullptr);
    std::vector<BYTE> huge = block;
    reinterpret_cast<RGNDATAHEADER*>(huge.data())->nCount = 0xFFFFFFFF;
    EXPECT_EQ(ExtCreateRegion(nullptr, static_cast<DWORD>(huge.size()),
                              reinterpret_cast<const RGNDATA*>(huge.data())),
              nullptr);
    std::vector<BYTE> other = Block({{0, 0, 1, 1}}, 2);
    EXPECT_EQ(ExtCreateRegion(nullptr, static_cast<DWORD>(other.size()),
                              reinterpret_cast<const RGNDATA*>(other.data())),
              nullptr);
    const XFORM scale{2, 0, 0, 2, 0, 0};
    EXPECT_EQ(ExtCreateRegion(&scale, static_cast<DWORD>(block.size()), data), nullptr);
}
