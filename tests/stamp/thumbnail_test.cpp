#include <gtest/gtest.h>

#include <fstream>

#include "stamp/thumbnail_picture.h"
#include "stamp_support.h"

using namespace stamp_test;

TEST(LoadThumbnailPicture, CodeFromTheExtensionAndPlaceholderForUnreadableFiles) {
    ScratchFolder folder;
    PxImage picture = Gradient(10, 6);
    ASSERT_TRUE(picture.Save((folder / "a.PNG").c_str(), PX_FORMAT_PNG));
    PxImage image;
    EXPECT_EQ(LoadThumbnailPicture(folder / "a.PNG", image), PX_FORMAT_PNG);
    EXPECT_EQ(image.GetWidth(), 10u);

    PxImage none;
    EXPECT_EQ(LoadThumbnailPicture(folder / "notes.txt", none), 0);
    EXPECT_EQ(LoadThumbnailPicture(".jpg", none), 0);
    EXPECT_EQ(LoadThumbnailPicture("/my.pictures/sunset", none), 0);
    EXPECT_FALSE(none.IsValid());
    EXPECT_EQ(none.GetType(), 0u);

    LibraryMessages messages;
    for (const char* name : {"gone.jpe", "gone.GIF", "gone.bmp"}) {
        PxImage missing;
        EXPECT_EQ(LoadThumbnailPicture(folder / name, missing), PX_FORMAT_PNG) << name;
        EXPECT_EQ(missing.GetType(), DWORD{PX_FORMAT_PNG});
        EXPECT_EQ(missing.GetWidth(), 28u);
        EXPECT_EQ(missing.GetHeight(), 28u);
        EXPECT_TRUE(missing.HasAlpha());
    }
    // Files that exist but do not decode: the decoders' own boxes stay shut too.
    for (const char* name : {"bad.png", "bad.gif", "bad.jpg"}) {
        std::ofstream(folder / name) << "not a picture";
        PxImage bad;
        EXPECT_EQ(LoadThumbnailPicture(folder / name, bad), PX_FORMAT_PNG) << name;
        EXPECT_EQ(bad.GetWidth(), 28u);
    }
    EXPECT_TRUE(messages.texts().empty());
}

TEST(LoadThumbnailPicture, AJpegIsDecodedReducedButKeepsItsProportions) {
    ScratchFolder folder;
    PxImage photo = Gradient(1200, 900);
    ASSERT_TRUE(photo.Save((folder / "big.jpg").c_str(), PX_FORMAT_JPG));
    PxImage image;
    EXPECT_EQ(LoadThumbnailPicture(folder / "big.jpg", image), PX_FORMAT_JPG);
    EXPECT_EQ(image.GetWidth(), 150u);  // 1/8 keeps 150 >= 128
    EXPECT_EQ(image.GetHeight(), 113u);
    ASSERT_TRUE(MakeSquareThumbnail(image, 64));
    EXPECT_EQ(image.GetWidth(), 64u);
}

TEST(Placeholder, IsAFramedPictureOnATransparentGround) {
    PxImage image;
    ASSERT_EQ(LoadThumbnailPicture("/nowhere/x.png", image), PX_FORMAT_PNG);
    EXPECT_EQ(image.AlphaGet(0, 0), 0);
    EXPECT_EQ(image.AlphaGet(14, 14), 255);
    EXPECT_TRUE(SameRgb(image.GetPixelColor(0, 0), RGBQUAD{255, 255, 255, 0}));
    // The frame's border is darker than the sky inside it.
    EXPECT_LT(TopLeftPixel(image, 2, 10).rgbBlue, TopLeftPixel(image, 5, 6).rgbBlue);
}

TEST(MakeSquareThumbnail, TrueColourPicturesAreCentredOnWhite) {
    PxImage wide = Filled(100, 50, RGBQUAD{0, 0, 200, 0});
    wide.SetPixelColor(0, 0, RGBQUAD{3, 3, 3, 0});
    ASSERT_TRUE(MakeSquareThumbnail(wide, 64));
    ASSERT_EQ(wide.GetWidth(), 64u);
    ASSERT_EQ(wide.GetHeight(), 64u);
    EXPECT_TRUE(SameRgb(wide.GetPixelColor(10, 15), RGBQUAD{255, 255, 255, 0}));
    EXPECT_TRUE(SameRgb(wide.GetPixelColor(10, 16), RGBQUAD{0, 0, 200, 0}));
    EXPECT_TRUE(SameRgb(wide.GetPixelColor(63, 47), RGBQUAD{0, 0, 200, 0}));
    EXPECT_TRUE(SameRgb(wide.GetPixelColor(63, 48), RGBQUAD{255, 255, 255, 0}));
    // Near-black becomes (16, 16, 16), so the list's black mask leaves it visible.
    EXPECT_TRUE(SameRgb(wide.GetPixelColor(0, 16), RGBQUAD{16, 16, 16, 0}));
    EXPECT_TRUE(SameRgb(wide.GetTransColor(), RGBQUAD{255, 255, 255, 0}));

    PxImage small = Filled(40, 30, RGBQUAD{0, 200, 0, 0});
    ASSERT_TRUE(MakeSquareThumbnail(small, 64));
    EXPECT_TRUE(SameRgb(small.GetPixelColor(11, 17), RGBQUAD{255, 255, 255, 0}));
    EXPECT_TRUE(SameRgb(small.GetPixelColor(12, 17), RGBQUAD{0, 200, 0, 0}));
    EXPECT_TRUE(SameRgb(small.GetPixelColor(51, 46), RGBQUAD{0, 200, 0, 0}));
    EXPECT_TRUE(SameRgb(small.GetPixelColor(52, 46), RGBQUAD{255, 255, 255, 0}));
    EXPECT_TRUE(SameRgb(small.GetPixelColor(12, 47), RGBQUAD{255, 255, 255, 0}));
}

TEST(MakeSquareThumbnail, ThePlaceholderLandsAt18_18) {
    PxImage image;
    ASSERT_EQ(LoadThumbnailPicture("/nowhere/x.bmp", image), PX_FORMAT_PNG);
    PxImage placeholder(image);
    ASSERT_TRUE(MakeSquareThumbnail(image, 64));
    for (LONG y = 0; y < 28; ++y)
        for (LONG x = 0; x < 28; ++x)
            ASSERT_TRUE(
                SameRgb(image.GetPixelColor(x + 18, y + 18), placeholder.GetPixelColor(x, y)))
                << x << "," << y;
    EXPECT_TRUE(SameRgb(image.GetPixelColor(17, 17), RGBQUAD{255, 255, 255, 0}));
}

TEST(MakeSquareThumbnail, PalettePicturesKeepTheirPaletteAndLoseTheirBlack) {
    PxImage picture = Filled(20, 80, RGBQUAD{0, 0, 0, 0});
    picture.SetPixelColor(5, 5, RGBQUAD{0, 0, 255, 0});
    ASSERT_TRUE(picture.DecreaseBpp(8, false));
    const BYTE black = picture.GetNearestIndex(RGBQUAD{0, 0, 0, 0});
    const BYTE red = picture.GetNearestIndex(RGBQUAD{0, 0, 255, 0});
    ASSERT_TRUE(MakeSquareThumbnail(picture, 64));
    ASSERT_EQ(picture.GetBpp(), 8);
    EXPECT_EQ(picture.GetWidth(), 64u);
    // 20 x 80 scaled to 16 x 64, centred at x = 24; the rest is index 0.
    EXPECT_EQ(picture.GetPixelIndex(23, 10), 0);
    EXPECT_EQ(picture.GetPixelIndex(24, 10), black);
    EXPECT_TRUE(SameRgb(picture.GetPaletteColor(black), RGBQUAD{15, 15, 15, 0}));
    EXPECT_EQ(picture.GetPaletteColor(black).rgbReserved, 255);
    EXPECT_TRUE(SameRgb(picture.GetPaletteColor(red), RGBQUAD{0, 0, 255, 0}));
}

TEST(MakeSquareThumbnail, FailsWhenThePictureCannotBeScaled) {
    PxImage line = Filled(1000, 1, RGBQUAD{0, 0, 200, 0});
    EXPECT_FALSE(MakeSquareThumbnail(line, 64));
    PxImage empty;
    EXPECT_FALSE(MakeSquareThumbnail(empty, 64));
}
