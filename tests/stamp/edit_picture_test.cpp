#include <gtest/gtest.h>

#include "stamp/edit_picture.h"
#include "stamp/preview_picture.h"
#include "stamp_support.h"

using namespace stamp_test;

namespace {

RECT DrawRectOf(LONG w, LONG h) {
    CEditPicture picture;
    picture.originX = 33;
    picture.originY = 110;
    picture.image = std::make_unique<PxImage>(Filled(w, h, RGBQUAD{0, 0, 0, 0}));
    picture.ComputeDisplayRects();
    EXPECT_EQ(picture.displayRect, picture.drawRect);
    return picture.drawRect;
}

// Four quadrants of a 2w x 2h picture in their own colours.
PxImage Quadrants(LONG w, LONG h) {
    PxImage image = Filled(2 * w, 2 * h, RGBQUAD{0, 0, 255, 0});  // red (top-left)
    for (LONG y = 0; y < 2 * h; ++y) {
        for (LONG x = 0; x < 2 * w; ++x) {
            const bool right = x >= w, top = y >= h;  // library rows: top half is y >= h
            if (right && top) image.SetPixelColor(x, y, RGBQUAD{0, 255, 0, 0});    // green
            if (!right && !top) image.SetPixelColor(x, y, RGBQUAD{255, 0, 0, 0});  // blue
            if (right && !top) image.SetPixelColor(x, y, RGBQUAD{255, 255, 255, 0});
        }
    }
    return image;
}

}  // namespace

TEST(EditPicture, DrawRectanglesScaleDownIntoTheBoxCorner) {
    EXPECT_EQ(DrawRectOf(400, 300), (RECT{33, 110, 215, 246}));
    EXPECT_EQ(DrawRectOf(100, 80), (RECT{33, 110, 133, 190}));
    EXPECT_EQ(DrawRectOf(300, 120), (RECT{33, 110, 215, 182}));
    EXPECT_EQ(DrawRectOf(150, 600), (RECT{33, 110, 78, 292}));
    EXPECT_EQ(DrawRectOf(200, 200), (RECT{33, 110, 215, 292}));
}

TEST(EditPicture, DrawPaintsTheBoxBlackAndThePictureScaled) {
    PageWindow page;
    page.Fill(RGB(0, 0, 255));
    CEditPicture picture;
    picture.owner = page.get();
    picture.originX = 33;
    picture.originY = 110;
    picture.image = std::make_unique<PxImage>(Filled(400, 300, RGBQUAD{0, 200, 0, 0}));
    picture.Draw();
    EXPECT_EQ(page.Pixel(33, 110), RGB(0, 200, 0));
    EXPECT_EQ(page.Pixel(214, 245), RGB(0, 200, 0));
    EXPECT_EQ(page.Pixel(214, 246), RGB(0, 0, 0));
    EXPECT_EQ(page.Pixel(214, 291), RGB(0, 0, 0));
    EXPECT_EQ(page.Pixel(214, 292), RGB(0, 0, 255));
    EXPECT_EQ(page.Pixel(215, 200), RGB(0, 0, 255));
}

TEST(CenteredSquare, IsTheFrameTheEditorStartsWith) {
    EXPECT_EQ(CenteredSquare(RECT{33, 110, 215, 246}), (RECT{56, 110, 192, 246}));
    EXPECT_EQ(CenteredSquare(RECT{33, 110, 133, 190}), (RECT{43, 110, 123, 190}));
    EXPECT_EQ(CenteredSquare(RECT{33, 110, 113, 210}), (RECT{33, 120, 113, 200}));
}

TEST(ExtractWhole, LetterboxesAPanoramaWithBlackBars) {
    CEditPicture picture;
    picture.image = std::make_unique<PxImage>(Filled(400, 100, RGBQUAD{0, 0, 255, 0}));
    const auto stamp = picture.ExtractWhole(32, 32);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->GetWidth(), 32u);
    EXPECT_EQ(stamp->GetType(), 0u);
    // Scaled to 32 x 8, rows 12 to 19.
    for (LONG x = 0; x < 32; ++x) {
        EXPECT_TRUE(SameRgb(stamp->GetPixelColor(x, 11), RGBQUAD{0, 0, 0, 0}));
        EXPECT_TRUE(SameRgb(stamp->GetPixelColor(x, 12), RGBQUAD{0, 0, 255, 0}));
        EXPECT_TRUE(SameRgb(stamp->GetPixelColor(x, 19), RGBQUAD{0, 0, 255, 0}));
        EXPECT_TRUE(SameRgb(stamp->GetPixelColor(x, 20), RGBQUAD{0, 0, 0, 0}));
    }
    picture.image = std::make_unique<PxImage>(Filled(50, 200, RGBQUAD{0, 0, 255, 0}));
    const auto tall = picture.ExtractWhole(16, 16);
    ASSERT_TRUE(tall);
    // Scaled to 4 x 16 at x = 6.
    EXPECT_TRUE(SameRgb(tall->GetPixelColor(5, 3), RGBQUAD{0, 0, 0, 0}));
    EXPECT_TRUE(SameRgb(tall->GetPixelColor(6, 3), RGBQUAD{0, 0, 255, 0}));
    EXPECT_TRUE(SameRgb(tall->GetPixelColor(9, 3), RGBQUAD{0, 0, 255, 0}));
    EXPECT_TRUE(SameRgb(tall->GetPixelColor(10, 3), RGBQUAD{0, 0, 0, 0}));
}

TEST(ExtractWhole, KeepsThePaletteOfAPalettePictureAndSurvivesAHairline) {
    CEditPicture picture;
    PxImage palette = Filled(100, 100, RGBQUAD{0, 0, 255, 0});
    ASSERT_TRUE(palette.DecreaseBpp(8, false));
    picture.image = std::make_unique<PxImage>(palette);
    const auto stamp = picture.ExtractWhole(32, 32);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->GetBpp(), 8);
    EXPECT_TRUE(SameRgb(stamp->GetPixelColor(3, 3), RGBQUAD{0, 0, 255, 0}));

    picture.image = std::make_unique<PxImage>(Filled(5000, 2, RGBQUAD{0, 0, 255, 0}));
    const auto line = picture.ExtractWhole(32, 32);
    ASSERT_TRUE(line);
    EXPECT_TRUE(SameRgb(line->GetPixelColor(0, 15), RGBQUAD{0, 0, 255, 0}));
}

TEST(ExtractSelection, CropsWithTheHorizontalScaleOnBothAxes) {
    CEditPicture picture;
    picture.originX = 33;
    picture.originY = 110;
    // 728 x 364 is drawn 182 x 91: four pixels per page pixel.
    picture.image = std::make_unique<PxImage>(Quadrants(364, 182));
    picture.ComputeDisplayRects();
    ASSERT_EQ(picture.drawRect, (RECT{33, 110, 215, 201}));
    // The frame over the top-right quadrant: page (124, 110) to (169, 155).
    const auto stamp = picture.ExtractSelection(RECT{124, 110, 169, 155}, 32, 32);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->GetWidth(), 32u);
    for (LONG y = 0; y < 32; ++y)
        for (LONG x = 0; x < 32; ++x)
            ASSERT_TRUE(SameRgb(stamp->GetPixelColor(x, y), RGBQUAD{0, 255, 0, 0}))
                << x << "," << y;

    const auto across = picture.ExtractSelection(RECT{33, 110, 215, 201}, 32, 32);
    ASSERT_TRUE(across);
    EXPECT_TRUE(SameRgb(TopLeftPixel(*across, 0, 0), RGBQUAD{0, 0, 255, 0}));
    EXPECT_TRUE(SameRgb(TopLeftPixel(*across, 31, 31), RGBQUAD{255, 255, 255, 0}));
}

TEST(ExtractStamp, ReplacesTheTargetOnlyOnSuccess) {
    CEditPicture picture;
    picture.originX = 33;
    picture.originY = 110;
    picture.image = std::make_unique<PxImage>(Filled(400, 300, RGBQUAD{0, 0, 255, 0}));
    CPreviewPicture target;
    // Before the picture was ever drawn there is no scale to crop with.
    EXPECT_FALSE(ExtractStamp(picture, false, 0, RECT{56, 110, 192, 246}, target));
    picture.ComputeDisplayRects();
    ASSERT_TRUE(ExtractStamp(picture, false, 1, RECT{56, 110, 192, 246}, target));
    ASSERT_TRUE(target.image);
    EXPECT_EQ(target.GetWidth(), 16u);
    const PxImage* before = target.image.get();
    EXPECT_FALSE(ExtractStamp(picture, false, 0, RECT{300, 300, 340, 340}, target));
    EXPECT_EQ(target.image.get(), before);
    ASSERT_TRUE(ExtractStamp(picture, true, 0, RECT{}, target));
    EXPECT_EQ(target.GetWidth(), 32u);
}
