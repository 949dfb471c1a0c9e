#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "imaging/px_image.h"
#include "test_pictures.h"

using testpic::Random24;
using testpic::SameColour;
using testpic::SamePicture;
using testpic::Uniform24;

namespace {

constexpr RGBQUAD kRed{0, 0, 255, 0};

PxImage Greys(std::initializer_list<std::initializer_list<BYTE>> rowsBottomUp) {
    PxImage image(static_cast<DWORD>(rowsBottomUp.begin()->size()),
                  static_cast<DWORD>(rowsBottomUp.size()), 24);
    LONG y = 0;
    for (const auto& row : rowsBottomUp) {
        LONG x = 0;
        for (BYTE v : row)
            image.SetPixelColor(x++, y, RGBQUAD{v, v, v, 0});
        ++y;
    }
    return image;
}

DWORD Rgb(RGBQUAD c) {
    return DWORD{c.rgbRed} << 16 | DWORD{c.rgbGreen} << 8 | c.rgbBlue;
}

}  // namespace

TEST(PxImageDecreaseBpp, PureRedTakesTheFirstExactStandardEntry) {
    PxImage image = Uniform24(3, 2, kRed);
    image.SetTransIndex(0);
    image.SelectionAddRect(RECT{0, 1, 1, 0});
    image.AlphaCreate();
    image.AlphaSet(2, 1, 9);
    ASSERT_TRUE(image.DecreaseBpp(8, false));
    EXPECT_EQ(image.GetBpp(), 8);
    for (LONG y = 0; y < 2; ++y) {
        for (LONG x = 0; x < 3; ++x)
            EXPECT_EQ(image.GetPixelIndex(x, y), 249);  // not 40, which is FE0000
    }
    EXPECT_EQ(image.GetTransIndex(), -1);  // the old index means nothing in the new palette
    EXPECT_TRUE(image.HasSelection());
    EXPECT_EQ(image.AlphaGet(2, 1), 9);
}

TEST(PxImageDecreaseBpp, DepthRules) {
    PxImage image = Random24(4, 4, 1);
    const PxImage src(image);
    EXPECT_TRUE(image.DecreaseBpp(24, true));
    EXPECT_TRUE(SamePicture(image, src));
    EXPECT_FALSE(image.DecreaseBpp(16, false));  // rounds to 24 bpp: no palette to reduce onto
    ASSERT_TRUE(image.DecreaseBpp(4, false));
    EXPECT_EQ(image.GetPaletteColor(9).rgbRed, 255);  // standard 16 colours
    EXPECT_FALSE(image.DecreaseBpp(8, false));
    PxImage invalid;
    EXPECT_FALSE(invalid.DecreaseBpp(1, false));
}

TEST(PxImageDecreaseBpp, GivenPaletteAndNearestMapping) {
    RGBQUAD palette[256] = {};
    palette[0] = RGBQUAD{0, 0, 0, 0};
    palette[1] = RGBQUAD{10, 200, 30, 0};
    palette[2] = RGBQUAD{10, 200, 30, 0};
    PxImage image = Uniform24(2, 2, RGBQUAD{12, 190, 30, 0});
    ASSERT_TRUE(image.DecreaseBpp(8, true, palette));
    EXPECT_EQ(image.GetPixelIndex(1, 1), 1);
    EXPECT_EQ(image.GetPaletteColor(2).rgbGreen, 200);
}

// Grey 128 on black and white: white, error -127. Each neighbour's share is
// error * weight / 16 truncated toward zero, and each test pixel sits where one
// level more or less flips its choice.
TEST(PxImageDecreaseBpp, ErrorDiffusionWeightsAndTruncation) {
    // Right neighbour: 183 - 55 = 128 -> white (floor division would give 127, black).
    PxImage right = Greys({{128, 183}});
    ASSERT_TRUE(right.DecreaseBpp(1, true));
    EXPECT_EQ(right.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(right.GetPixelIndex(1, 0), 1);
    // The row above (y + 1): 4/16 straight up, 2/16 up-left.
    PxImage up = Greys({{128}, {159}});
    ASSERT_TRUE(up.DecreaseBpp(1, true));
    EXPECT_EQ(up.GetPixelIndex(0, 1), 1);  // 159 - 31 = 128; weight 5 would give 120
    PxImage upLeft = Greys({{0, 128}, {143, 255}});
    ASSERT_TRUE(upLeft.DecreaseBpp(1, true));
    EXPECT_EQ(upLeft.GetPixelIndex(1, 0), 1);
    EXPECT_EQ(upLeft.GetPixelIndex(0, 1), 1);  // 143 - 15 = 128; weight 3 would give 120
    // Without diffusion every grey 128 is plain white.
    PxImage plain = Greys({{128, 128, 128}});
    ASSERT_TRUE(plain.DecreaseBpp(1, false));
    EXPECT_EQ(plain.GetPixelIndex(1, 0), 1);
    PxImage diffused = Greys({{128, 128, 128}});
    ASSERT_TRUE(diffused.DecreaseBpp(1, true));
    EXPECT_EQ(diffused.GetPixelIndex(1, 0), 0);  // 73 after the -55
}

TEST(PxImageIncreaseBpp, KeepsColoursAndPalette) {
    PxImage bw(2, 1, 1);
    bw.Clear(0);
    bw.SetPaletteIndex(1, 255, 255, 255);
    bw.SetPixelIndex(1, 0, 1);
    PxImage wide(bw);
    ASSERT_TRUE(wide.IncreaseBpp(24));
    EXPECT_TRUE(SameColour(wide.GetPixelColor(0, 0), RGBQUAD{0, 0, 0, 0}));
    EXPECT_TRUE(SameColour(wide.GetPixelColor(1, 0), RGBQUAD{255, 255, 255, 0}));
    ASSERT_TRUE(bw.IncreaseBpp(8));
    EXPECT_EQ(bw.GetPixelIndex(1, 0), 1);
    EXPECT_EQ(bw.GetPaletteColor(1).rgbGreen, 255);
    EXPECT_EQ(bw.GetPaletteColor(2).rgbGreen, 0);
    EXPECT_FALSE(bw.IncreaseBpp(4));
    EXPECT_FALSE(bw.IncreaseBpp(16));
    EXPECT_TRUE(bw.IncreaseBpp(8));
}

TEST(PxImageStdPalette, TablesAsGiven) {
    PxImage four(1, 1, 4), eight(1, 1, 8), one(1, 1, 1);
    four.SetStdPalette();
    eight.SetStdPalette();
    one.SetStdPalette();
    EXPECT_EQ(Rgb(four.GetPaletteColor(8)), 0x808080u);
    EXPECT_EQ(Rgb(four.GetPaletteColor(14)), 0x00FFFFu);
    EXPECT_EQ(Rgb(one.GetPaletteColor(1)), 0u);  // other depths have no standard palette
    // FNV-1a over all 256 entries as R, G, B bytes, computed from the table itself.
    std::uint32_t hash = 0x811C9DC5u;
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD c = eight.GetPaletteColor(static_cast<BYTE>(i));
        EXPECT_EQ(c.rgbReserved, 0);
        for (BYTE b : {c.rgbRed, c.rgbGreen, c.rgbBlue})
            hash = (hash ^ b) * 0x01000193u;
    }
    EXPECT_EQ(hash, 0xD3759F02u);
}

TEST(PxImageLight, BrightnessContrastAndLimits) {
    PxImage image = Random24(16, 16, 4);
    const PxImage src(image);
    ASSERT_TRUE(image.Light(0, 100));
    EXPECT_TRUE(SamePicture(image, src));
    ASSERT_TRUE(image.Light(20, 100));
    for (LONG y = 0; y < 16; ++y) {
        for (LONG x = 0; x < 16; ++x) {
            const RGBQUAD a = src.GetPixelColor(x, y), b = image.GetPixelColor(x, y);
            ASSERT_EQ(b.rgbRed, std::min(255, a.rgbRed + 20));
            ASSERT_EQ(b.rgbBlue, std::min(255, a.rgbBlue + 20));
        }
    }
    PxImage grey = Greys({{200, 10, 129}});
    ASSERT_TRUE(grey.Light(-5, 50));  // (v - 128) * 0.5 - 5 + 128, truncated toward zero
    EXPECT_EQ(grey.GetPixelColor(0, 0).rgbRed, 159);
    EXPECT_EQ(grey.GetPixelColor(1, 0).rgbRed, 64);
    EXPECT_EQ(grey.GetPixelColor(2, 0).rgbRed, 123);
    ASSERT_TRUE(grey.Light(INT_MAX, INT_MAX));
    EXPECT_EQ(grey.GetPixelColor(1, 0).rgbGreen, 255);
    ASSERT_TRUE(grey.Light(INT_MIN, 0));
    EXPECT_EQ(grey.GetPixelColor(0, 0).rgbGreen, 0);
    PxImage invalid;
    EXPECT_FALSE(invalid.Light(1, 100));
}

TEST(PxImageLight, SelectionAndPalettes) {
    PxImage image = Uniform24(4, 4, RGBQUAD{100, 100, 100, 0});
    image.SelectionAddRect(RECT{1, 3, 3, 1});  // x 1..2, y 1..2
    ASSERT_TRUE(image.Light(50, 100));
    EXPECT_EQ(image.GetPixelColor(1, 1).rgbRed, 150);
    EXPECT_EQ(image.GetPixelColor(2, 2).rgbRed, 150);
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 100);
    EXPECT_EQ(image.GetPixelColor(3, 2).rgbRed, 100);

    PxImage indexed(2, 1, 8);
    indexed.SetStdPalette();
    indexed.SetPixelIndex(0, 0, 0);    // black
    indexed.SetPixelIndex(1, 0, 248);  // 808080
    ASSERT_TRUE(indexed.Light(255, 100));
    EXPECT_EQ(indexed.GetPixelIndex(0, 0), 255);  // white, the nearest entry
    EXPECT_EQ(indexed.GetPixelIndex(1, 0), 255);
    EXPECT_EQ(Rgb(indexed.GetPaletteColor(0)), 0u);  // the palette stays
}

TEST(PxImageHsl, IntegerForwardAndSinglePrecisionBack) {
    const RGBQUAD red = PxImage::RGBtoHSL(kRed);
    EXPECT_EQ(red.rgbRed, 0);
    EXPECT_EQ(red.rgbGreen, 255);
    EXPECT_EQ(red.rgbBlue, 128);
    const RGBQUAD grey = PxImage::RGBtoHSL(RGBQUAD{100, 100, 100, 0});
    EXPECT_EQ(grey.rgbRed, 170);
    EXPECT_EQ(grey.rgbGreen, 0);
    EXPECT_EQ(grey.rgbBlue, 100);
    // Blue is the maximum at hue 170; a hue just below red wraps to the top of the byte.
    EXPECT_EQ(PxImage::RGBtoHSL(RGBQUAD{255, 0, 0, 0}).rgbRed, 170);
    EXPECT_EQ(PxImage::RGBtoHSL(RGBQUAD{10, 0, 255, 0}).rgbRed, 254);
    EXPECT_TRUE(SameColour(PxImage::HSLtoRGB(grey), RGBQUAD{100, 100, 100, 0}));
    EXPECT_TRUE(SameColour(PxImage::HSLtoRGB(RGB(0, 255, 128)), PxImage::HSLtoRGB(red)));
    // Colours come back close: hue has 42 steps per 60-degree sector and negative
    // hues wrap modulo 256 while a turn is 255 steps, so saturated magentas can be
    // off by up to 12 levels; a mixed-up sector or channel would be off by far more.
    int worst = 0;
    for (int r = 0; r < 256; r += 5) {
        for (int g = 0; g < 256; g += 5) {
            for (int b = 0; b < 256; b += 5) {
                const RGBQUAD c{BYTE(b), BYTE(g), BYTE(r), 0};
                const RGBQUAD back = PxImage::HSLtoRGB(PxImage::RGBtoHSL(c));
                worst = std::max({worst, std::abs(back.rgbRed - r), std::abs(back.rgbGreen - g),
                                  std::abs(back.rgbBlue - b)});
            }
        }
    }
    EXPECT_LE(worst, 12);
}

TEST(PxImageColorize, PaletteOnlyForIndexedPictures) {
    PxImage indexed(3, 1, 8);
    indexed.SetGrayPalette();
    indexed.SetPaletteIndex(7, 10, 20, 30, 99);
    for (LONG x = 0; x < 3; ++x)
        indexed.SetPixelIndex(x, 0, static_cast<BYTE>(100 + x));
    ASSERT_TRUE(indexed.Colorize(85, 255));  // pure green hue
    for (LONG x = 0; x < 3; ++x)
        EXPECT_EQ(indexed.GetPixelIndex(x, 0), 100 + x);
    const RGBQUAD c = indexed.GetPaletteColor(100);
    EXPECT_GT(c.rgbGreen, c.rgbRed);
    EXPECT_EQ(c.rgbRed, c.rgbBlue);
    EXPECT_EQ(indexed.GetPaletteColor(7).rgbReserved, 0);
    EXPECT_EQ(PxImage::RGBtoHSL(c).rgbBlue, 100);  // lightness kept

    PxImage image = Uniform24(2, 2, RGBQUAD{100, 100, 100, 0});
    ASSERT_TRUE(image.Colorize(0, 255));
    EXPECT_TRUE(SameColour(image.GetPixelColor(1, 1), PxImage::HSLtoRGB(RGBQUAD{100, 255, 0, 0})));
    PxImage invalid;
    EXPECT_FALSE(invalid.Colorize(1, 1));
}
