#include "stamp/octree_quantizer.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "stamp_support.h"

using namespace stamp_test;

namespace {

std::vector<RGBQUAD> Table(const COctreeQuantizer& quantizer) {
    RGBQUAD palette[256] = {};
    const unsigned count = quantizer.GetColorTable(palette);
    return std::vector<RGBQUAD>(palette, palette + count);
}

}  // namespace

TEST(OctreeQuantizer, KeepsTheExactAverageOfEachGroupWhenThereAreFewEnough) {
    // 200 groups of two colours that agree in their top 7 bits.
    PxImage picture;
    ASSERT_TRUE(picture.Create(20, 20, 24));
    for (LONG i = 0; i < 400; ++i) {
        const BYTE group = static_cast<BYTE>(i / 2);
        const BYTE low = static_cast<BYTE>(i % 2);
        picture.SetPixelColor(
            i % 20, i / 20,
            RGBQUAD{static_cast<BYTE>(group | low), static_cast<BYTE>(255 - group),
                    static_cast<BYTE>((group & 0xFE) | low), 0});
    }
    COctreeQuantizer quantizer(256, 7);
    ASSERT_TRUE(quantizer.ProcessImage(picture));
    EXPECT_EQ(quantizer.LeafCount(), 100u);
    const std::vector<RGBQUAD> table = Table(quantizer);
    ASSERT_EQ(table.size(), 100u);
    // Each group holds blue g|0 and g|1 or the like: averages truncate.
    std::set<std::tuple<int, int, int>> colours;
    for (const RGBQUAD& c : table)
        colours.insert({c.rgbRed, c.rgbGreen, c.rgbBlue});
    EXPECT_TRUE(colours.count({0, 254, 0}));  // groups 0 and 1: red 0,1,0,1 -> 0
    EXPECT_EQ(table.front().rgbReserved, 0);
}

TEST(OctreeQuantizer, ManyColoursAreReducedToAtMostMaxColours) {
    PxImage picture = Gradient(32, 32);
    for (LONG y = 0; y < 32; ++y)
        for (LONG x = 0; x < 32; ++x)
            picture.SetPixelColor(x, y,
                                  RGBQUAD{static_cast<BYTE>(x * y), static_cast<BYTE>(8 * y),
                                          static_cast<BYTE>(8 * x), 0});
    COctreeQuantizer quantizer(256, 7);
    ASSERT_TRUE(quantizer.ProcessImage(picture));
    EXPECT_LE(quantizer.LeafCount(), 256u);
    EXPECT_EQ(Table(quantizer).size(), quantizer.LeafCount());
}

TEST(OctreeQuantizer, TheNewestDeepestNodeIsMergedFirst) {
    // With 2 bits, (0|64, 0, 0) share the older level-1 node and (128|192, 0, 0) the
    // newer one; the fourth colour makes one leaf too many.
    COctreeQuantizer quantizer(3, 2);
    for (BYTE red : {0, 64, 128, 192})
        ASSERT_TRUE(quantizer.AddColor(red, 0, 0));
    EXPECT_EQ(quantizer.LeafCount(), 4u);
    quantizer.ReduceTree();
    EXPECT_EQ(quantizer.LeafCount(), 3u);
    const std::vector<RGBQUAD> table = Table(quantizer);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].rgbRed, 0);
    EXPECT_EQ(table[1].rgbRed, 64);
    EXPECT_EQ(table[2].rgbRed, 160);
}
