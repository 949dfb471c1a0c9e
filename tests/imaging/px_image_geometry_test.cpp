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

namespace {

std::string PngBytes(PxImage& image) {
    BYTE* buffer = nullptr;
    LONG size = 0;
    if (!image.Encode(buffer, size, PX_FORMAT_PNG)) return {};
    std::string bytes(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(size));
    std::free(buffer);
    return bytes;
}

}  // namespace

// Cut and scaled in one pass: the same picture, transparency, delay and PNG file as
// Crop then Resample, whether it averages straight from the source (24 bpp,
// shrinking) or goes the long way (other depths, enlarging, same size).
TEST(PxImageCrop, CropResampledIsCropThenResample) {
    const RECT rects[] = {{7, 5, 93, 61}, {93, 61, 7, 5}, {-20, 10, 300, 200}, {40, 30, 44, 33}};
    const std::pair<LONG, LONG> sizes[] = {{32, 32}, {16, 9}, {4, 3}, {120, 90}};
    for (WORD bpp : {24, 8, 4}) {
        PxImage source = Picture(bpp, 100, 70);
        source.SetXDPI(300);
        source.SetFrameDelay(7);
        if (bpp == 24) {
            source.SetTransIndex(0);
            source.SetTransColor(RGBQUAD{1, 2, 3, 0});
            source.AlphaCreate();
        }
        for (const RECT& rect : rects) {
            for (const auto& [w, h] : sizes) {
                PxImage cut, twoSteps, oneStep;
                ASSERT_TRUE(source.Crop(rect, &cut));
                ASSERT_TRUE(cut.Resample(w, h, 0, &twoSteps));
                ASSERT_TRUE(source.CropResampled(rect, w, h, &oneStep));
                const std::string where =
                    std::to_string(bpp) + " bpp to " + std::to_string(w) + "x" + std::to_string(h) +
                    " from " + std::to_string(rect.left) + "," + std::to_string(rect.top);
                EXPECT_TRUE(SamePicture(oneStep, twoSteps)) << where;
                EXPECT_EQ(oneStep.GetTransIndex(), twoSteps.GetTransIndex()) << where;
                EXPECT_TRUE(SameColour(oneStep.GetTransColor(), twoSteps.GetTransColor())) << where;
                EXPECT_EQ(oneStep.GetFrameDelay(), twoSteps.GetFrameDelay()) << where;
                EXPECT_EQ(oneStep.GetXDPI(), twoSteps.GetXDPI()) << where;
                EXPECT_EQ(oneStep.HasAlpha(), twoSteps.HasAlpha()) << where;
                EXPECT_EQ(PngBytes(oneStep), PngBytes(twoSteps)) << where;
            }
        }
    }
    PxImage source = Random24(10, 10, 1), target;
    EXPECT_FALSE(source.CropResampled(RECT{3, 3, 3, 8}, 2, 2, &target));
    EXPECT_FALSE(source.CropResampled(RECT{0, 0, 8, 8}, 0, 2, &target));
    EXPECT_FALSE(target.IsValid());
    ASSERT_TRUE(source.CropResampled(RECT{0, 0, 8, 8}, 2, 2));
    EXPECT_EQ(source.GetWidth(), 2u);
}
