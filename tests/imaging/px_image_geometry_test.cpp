#include <gtest/gtest.h>

#include "imaging/px_image.h"
#include "test_pictures.h"

using testpic::Random24;
using testpic::SameColour;
using testpic::SamePicture;

namespace {

// A 4 bpp picture whose index encodes the position, with alpha and a selection.
PxImage Numbered4(LONG w, LONG h) {
    PxImage image(static_cast<DWORD>(w), static_cast<DWORD>(h), 4);
    image.SetStdPalette();
    image.AlphaCreate();
    for (LONG y = 0; y < h; ++y) {
        for (LONG x = 0; x < w; ++x) {
            image.SetPixelIndex(x, y, static_cast<BYTE>((x + 3 * y) % 16));
            image.AlphaSet(x, y, static_cast<BYTE>(x * 10 + y));
        }
    }
    image.SelectionAddRect(RECT{0, 1, 1, 0});
    return image;
}

PxImage Picture(WORD bpp, LONG w, LONG h) {
    if (bpp == 24) return Random24(static_cast<DWORD>(w), static_cast<DWORD>(h), 3);
    PxImage image = Numbered4(w, h);
    const bool converted = bpp == 8   ? image.IncreaseBpp(8)
                           : bpp == 1 ? image.DecreaseBpp(1, false)
                                      : true;
    EXPECT_TRUE(converted);
    return image;
}

}  // namespace

TEST(PxImageRotate, QuarterTurnsMoveEveryPixelAndTheAlpha) {
    for (WORD bpp : {1, 4, 8, 24}) {
        PxImage image = Picture(bpp, 5, 3);
        image.AlphaCreate();
        image.AlphaSet(4, 0, 77);  // bottom-right
        const PxImage src(image);
        PxImage left;
        ASSERT_TRUE(image.RotateLeft(&left));
        EXPECT_TRUE(SamePicture(image, src)) << "the source stays as it was";
        ASSERT_EQ(left.GetWidth(), 3u);
        ASSERT_EQ(left.GetHeight(), 5u);
        EXPECT_EQ(left.GetBpp(), bpp);
        for (LONG y = 0; y < 5; ++y) {
            for (LONG x = 0; x < 3; ++x)
                ASSERT_TRUE(SameColour(left.GetPixelColor(x, y), src.GetPixelColor(y, 2 - x)));
        }
        EXPECT_EQ(left.AlphaGet(2, 4), 77);  // counter-clockwise: bottom-right goes top-right
        EXPECT_FALSE(left.HasSelection());
        ASSERT_TRUE(left.RotateRight());
        EXPECT_TRUE(SamePicture(left, src)) << bpp;
        EXPECT_EQ(left.AlphaGet(4, 0), 77);
    }
    PxImage invalid;
    EXPECT_FALSE(invalid.RotateLeft());
}

TEST(PxImageMirrorFlip, ReverseColumnsOrRowsKeepAlphaDropSelection) {
    for (WORD bpp : {1, 4, 8, 24}) {
        PxImage image = Picture(bpp, 9, 4);
        image.AlphaCreate();
        image.AlphaSet(0, 0, 50);
        image.SelectionAddRect(RECT{0, 2, 2, 0});
        const PxImage src(image);
        ASSERT_TRUE(image.Mirror());
        EXPECT_FALSE(image.HasSelection());
        EXPECT_EQ(image.AlphaGet(8, 0), 50);
        for (LONG y = 0; y < 4; ++y) {
            for (LONG x = 0; x < 9; ++x)
                ASSERT_TRUE(SameColour(image.GetPixelColor(x, y), src.GetPixelColor(8 - x, y)));
        }
        image.SelectionAddRect(RECT{0, 2, 2, 0});
        ASSERT_TRUE(image.Flip());
        EXPECT_FALSE(image.HasSelection());
        EXPECT_EQ(image.AlphaGet(8, 3), 50);
        for (LONG y = 0; y < 4; ++y) {
            for (LONG x = 0; x < 9; ++x)
                ASSERT_TRUE(SameColour(image.GetPixelColor(x, y), src.GetPixelColor(8 - x, 3 - y)));
        }
        ASSERT_TRUE(image.Flip());
        ASSERT_TRUE(image.Mirror());
        EXPECT_TRUE(SamePicture(image, src)) << bpp;
    }
}

TEST(PxImageCrop, RectangleFromTheTopLeftInEitherOrder) {
    for (WORD bpp : {4, 24}) {
        PxImage image = bpp == 24 ? Random24(20, 20, 9) : Numbered4(20, 20);
        image.SetXDPI(300);
        image.SetJpegQuality(90);
        image.SetTransIndex(4);
        image.SetFrameDelay(12);
        PxImage a, b;
        ASSERT_TRUE(image.Crop(0, 0, 10, 5, &a));
        ASSERT_TRUE(image.Crop(RECT{10, 5, 0, 0}, &b));
        EXPECT_EQ(image.GetWidth(), 20u);  // the source is left alone
        ASSERT_EQ(a.GetWidth(), 10u);
        ASSERT_EQ(a.GetHeight(), 5u);
        EXPECT_TRUE(SamePicture(a, b));
        // The top 5 rows are rows 15..19 from the bottom.
        for (LONG y = 0; y < 5; ++y) {
            for (LONG x = 0; x < 10; ++x)
                ASSERT_TRUE(SameColour(a.GetPixelColor(x, y), image.GetPixelColor(x, 15 + y)));
        }
        EXPECT_EQ(a.GetXDPI(), 72);
        EXPECT_EQ(a.GetJpegQuality(), 75);
        EXPECT_EQ(a.GetTransIndex(), 4);
        EXPECT_EQ(a.GetFrameDelay(), 12u);
        EXPECT_FALSE(a.HasAlpha());
        EXPECT_FALSE(a.HasSelection());
    }
}

TEST(PxImageCrop, ClampsToThePictureAndRefusesEmptyRectangles) {
    PxImage image = Random24(20, 20, 11);
    const PxImage src(image);
    EXPECT_FALSE(image.Crop(5, 5, 5, 9));
    EXPECT_FALSE(image.Crop(30, 0, 40, 10));  // both edges clamp to 20
    EXPECT_TRUE(SamePicture(image, src));
    ASSERT_TRUE(image.Crop(-10, 15, 100, 100));
    EXPECT_EQ(image.GetWidth(), 20u);
    EXPECT_EQ(image.GetHeight(), 5u);  // bottom 5 rows
    EXPECT_TRUE(SameColour(image.GetPixelColor(3, 4), src.GetPixelColor(3, 4)));
}
