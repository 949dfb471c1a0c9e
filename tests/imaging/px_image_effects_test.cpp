#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "imaging/px_image.h"
#include "test_pictures.h"

using testpic::Random24;
using testpic::SameColour;
using testpic::SamePicture;
using testpic::Uniform24;

namespace {

int Distance(RGBQUAD a, RGBQUAD b) {
    return std::max({std::abs(a.rgbRed - b.rgbRed), std::abs(a.rgbGreen - b.rgbGreen),
                     std::abs(a.rgbBlue - b.rgbBlue)});
}

}  // namespace

TEST(PxImageSplit, ChannelsBecomeGreyIndexPictures) {
    PxImage image = Random24(5, 3, 21);
    image.SetType(PX_FORMAT_PNG);
    PxImage red, blue;
    ASSERT_TRUE(image.SplitRGB(&red, nullptr, &blue));
    EXPECT_EQ(red.GetBpp(), 8);
    EXPECT_EQ(red.GetType(), 0u);
    EXPECT_TRUE(red.IsGrayScale());
    for (LONG y = 0; y < 3; ++y) {
        for (LONG x = 0; x < 5; ++x) {
            EXPECT_EQ(red.GetPixelIndex(x, y), image.GetPixelColor(x, y).rgbRed);
            EXPECT_EQ(blue.GetPixelIndex(x, y), image.GetPixelColor(x, y).rgbBlue);
        }
    }
    PxImage hue;
    ASSERT_TRUE(image.SplitHSL(&hue, nullptr, nullptr));
    EXPECT_EQ(hue.GetPixelIndex(2, 1), PxImage::RGBtoHSL(image.GetPixelColor(2, 1)).rgbRed);
    EXPECT_FALSE(image.SplitRGB(nullptr, nullptr, nullptr));
    PxImage invalid;
    EXPECT_FALSE(invalid.SplitHSL(&hue, nullptr, nullptr));
    // The picture may be one of its own targets.
    PxImage green;
    ASSERT_TRUE(image.SplitRGB(nullptr, &green, &image));
    EXPECT_TRUE(SamePicture(image, blue));
}

TEST(PxImageCombine, SplitAndCombineInEachColourSpace) {
    const PxImage src = Random24(12, 9, 5);
    struct Space {
        LONG code;
        bool (PxImage::*split)(PxImage*, PxImage*, PxImage*) const;
        int tolerance;
    } spaces[] = {{0, &PxImage::SplitRGB, 0},
                  {1, &PxImage::SplitHSL, 12},
                  {2, &PxImage::SplitYUV, 2},
                  {3, &PxImage::SplitYIQ, 2},
                  {4, &PxImage::SplitXYZ, 2}};
    for (const Space& s : spaces) {
        PxImage a, b, c, image;
        ASSERT_TRUE((src.*s.split)(&a, &b, &c));
        ASSERT_TRUE(image.Combine(&a, &b, &c, nullptr, s.code));
        EXPECT_EQ(image.GetBpp(), 24);
        for (LONG y = 0; y < 9; ++y) {
            for (LONG x = 0; x < 12; ++x)
                ASSERT_LE(Distance(image.GetPixelColor(x, y), src.GetPixelColor(x, y)), s.tolerance)
                    << "space " << s.code;
        }
    }
}

TEST(PxImageCombine, ScalesTheOtherChannelsAndTakesAlpha) {
    PxImage first(4, 2, 8), second(2, 1, 8), third(8, 4, 8), alphaImage(1, 1, 8);
    for (PxImage* p : {&first, &second, &third, &alphaImage}) {
        p->SetGrayPalette();
        p->Clear(0);
    }
    first.Clear(10);
    second.Clear(20);
    third.Clear(30);
    alphaImage.Clear(40);
    PxImage image(3, 3, 8, PX_FORMAT_GIF);
    image.SelectionCreate();
    ASSERT_TRUE(image.Combine(&first, &second, &third, &alphaImage, 0));
    EXPECT_EQ(image.GetWidth(), 4u);
    EXPECT_EQ(image.GetType(), 0u);
    EXPECT_FALSE(image.HasSelection());
    EXPECT_EQ(second.GetWidth(), 4u);  // scaled in place
    EXPECT_EQ(third.GetHeight(), 2u);
    EXPECT_TRUE(SameColour(image.GetPixelColor(3, 1), RGBQUAD{30, 20, 10, 0}));
    EXPECT_EQ(image.AlphaGet(3, 1), 40);

    PxImage empty;
    const PxImage before(image);
    EXPECT_FALSE(image.Combine(&first, &second, nullptr));
    EXPECT_FALSE(image.Combine(&first, &empty, &third));
    EXPECT_TRUE(SamePicture(image, before));
}

TEST(PxImageColourSpaces, KnownPoints) {
    const RGBQUAD white{255, 255, 255, 0}, black{0, 0, 0, 0};
    EXPECT_TRUE(SameColour(PxImage::RGBtoYUV(white), RGBQUAD{128, 128, 255, 0}));
    EXPECT_TRUE(SameColour(PxImage::RGBtoYUV(black), RGBQUAD{128, 128, 0, 0}));
    EXPECT_TRUE(SameColour(PxImage::RGBtoYIQ(black), RGBQUAD{128, 128, 0, 0}));
    EXPECT_TRUE(SameColour(PxImage::RGBtoXYZ(white), white));
    // Pure red: Cr at its top, the YIQ I component at its full-range top.
    EXPECT_EQ(PxImage::RGBtoYUV(RGBQUAD{0, 0, 255, 0}).rgbBlue, 255);
    EXPECT_EQ(PxImage::RGBtoYIQ(RGBQUAD{0, 0, 255, 0}).rgbGreen, 255);
    EXPECT_EQ(PxImage::RGBtoYUV(RGBQUAD{0, 0, 255, 0}).rgbRed, 76);  // 0.299 * 255
}

TEST(PxImageRepair, SmoothsInteriorPixelsOnly) {
    PxImage tiny(2, 2, 8);
    tiny.SetStdPalette();
    tiny.Clear(249);
    ASSERT_TRUE(tiny.Repair(0.5f, 2, 0));
    EXPECT_EQ(tiny.GetBpp(), 24);
    EXPECT_TRUE(SameColour(tiny.GetPixelColor(1, 1), RGBQUAD{0, 0, 255, 0}));

    // A lone spike on black: Ixx = Iyy = -200, no gradient: 100 + 0.1 * -400 = 60.
    PxImage spike = Uniform24(3, 3, RGBQUAD{0, 0, 0, 0});
    spike.SetPixelColor(1, 1, RGBQUAD{0, 0, 100, 0});
    spike.AlphaCreate();
    spike.AlphaSet(0, 0, 33);
    ASSERT_TRUE(spike.Repair(0.1f, 1, 0));
    EXPECT_EQ(spike.GetPixelColor(1, 1).rgbRed, 60);
    EXPECT_EQ(spike.GetPixelColor(0, 1).rgbRed, 0);  // border rows and columns stay
    EXPECT_EQ(spike.AlphaGet(0, 0), 33);
    ASSERT_TRUE(spike.Repair(1.0f, 1, 0));
    EXPECT_EQ(spike.GetPixelColor(1, 1).rgbRed, 0);  // limited at 0
    PxImage invalid;
    EXPECT_FALSE(invalid.Repair());
}

TEST(PxImageMidMix, GreyIsNeutralOthersLightenOrDarken) {
    PxImage image = Random24(6, 6, 8);
    const PxImage src(image);
    PxImage grey = Uniform24(3, 2, RGBQUAD{127, 127, 127, 0});
    ASSERT_TRUE(image.MidMix(&grey, 0.7));
    EXPECT_TRUE(SamePicture(image, src));
    EXPECT_EQ(grey.GetWidth(), 6u);  // scaled in place to this size
    PxImage bright = Uniform24(6, 6, RGBQUAD{255, 200, 0, 0});
    ASSERT_TRUE(image.MidMix(&bright, 0));
    ASSERT_TRUE(image.MidMix(&bright, -3));
    EXPECT_TRUE(SamePicture(image, src));
    ASSERT_TRUE(image.MidMix(&bright, 0.5));
    const RGBQUAD a = src.GetPixelColor(2, 3), b = image.GetPixelColor(2, 3);
    EXPECT_EQ(b.rgbBlue, std::min(255, static_cast<int>(a.rgbBlue + 0.5 * 128)));
    EXPECT_EQ(b.rgbGreen, std::min(255, static_cast<int>(a.rgbGreen + 0.5 * 73)));
    EXPECT_EQ(b.rgbRed, std::max(0, static_cast<int>(a.rgbRed - 0.5 * 127)));
    PxImage empty;
    EXPECT_FALSE(image.MidMix(nullptr, 1));
    EXPECT_FALSE(image.MidMix(&empty, 1));
}

TEST(PxImageDistort, NeutralSettingsLeaveThePicture) {
    PxImage image = Random24(9, 9, 13);
    const PxImage src(image);
    ASSERT_TRUE(image.Wave(0, 7));
    ASSERT_TRUE(image.Wave(0, 0));
    ASSERT_TRUE(image.Swirl(0));
    ASSERT_TRUE(image.ImplodeExplode(0));
    EXPECT_TRUE(SamePicture(image, src));
    PxImage invalid;
    EXPECT_FALSE(invalid.Wave(1, 1));
    EXPECT_FALSE(invalid.Swirl(1));
    EXPECT_FALSE(invalid.ImplodeExplode(1));
}

TEST(PxImageDistort, WaveShiftsColumnsDownAndBringsInTheTransparentColour) {
    PxImage image = Random24(16, 30, 17);
    image.SetTransColor(RGBQUAD{1, 2, 3, 0});
    const PxImage src(image);
    ASSERT_TRUE(image.Wave(10, 16));
    // Each column slides down by its own amount, 0 to 20 rows, and the rows it
    // uncovers at the bottom show the transparent colour. (The last uncovered row
    // may repeat row 0: a source row between -1 and 0 truncates toward zero.)
    int moved = 0;
    const RGBQUAD trans{1, 2, 3, 0};
    for (LONG x = 0; x < 16; ++x) {
        LONG shift = 0;
        while (shift <= 20 &&
               !SameColour(image.GetPixelColor(x, 25), src.GetPixelColor(x, 25 - shift)))
            ++shift;
        ASSERT_LE(shift, 20) << x;
        moved += shift > 1;
        for (LONG y = 0; y < 30; ++y) {
            const RGBQUAD got = image.GetPixelColor(x, y);
            if (y >= shift)
                ASSERT_TRUE(SameColour(got, src.GetPixelColor(x, y - shift))) << x << "," << y;
            else if (y < shift - 1)
                ASSERT_TRUE(SameColour(got, trans)) << x << "," << y;
            else
                ASSERT_TRUE(SameColour(got, trans) || SameColour(got, src.GetPixelColor(x, 0)));
        }
    }
    EXPECT_GT(moved, 8);
}

TEST(PxImageDistort, CentreStaysAndNoNumberIsHandledSafely) {
    PxImage image = Random24(11, 7, 19);
    image.SetTransColor(RGBQUAD{4, 5, 6, 0});
    const PxImage src(image);
    ASSERT_TRUE(image.Swirl(2.5));
    EXPECT_TRUE(SameColour(image.GetPixelColor(5, 3), src.GetPixelColor(5, 3)));
    EXPECT_TRUE(
        SameColour(image.GetPixelColor(0, 0), src.GetPixelColor(0, 0)));  // outside the circle
    const double inf = std::numeric_limits<double>::infinity();
    ASSERT_TRUE(image.Swirl(inf));
    ASSERT_TRUE(image.ImplodeExplode(-2));  // infinite stretch at the very centre
    EXPECT_TRUE(SameColour(image.GetPixelColor(5, 3), RGBQUAD{4, 5, 6, 0}));
    ASSERT_TRUE(image.Wave(std::numeric_limits<double>::quiet_NaN(), 3));
    ASSERT_TRUE(image.Wave(1e300, 3));
}
