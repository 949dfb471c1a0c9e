#include <gtest/gtest.h>

#include "imaging/px_image.h"
#include "platform/gdi/gdi_test_util.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Colour of image pixel (x, y) counted from the top, as a COLORREF.
COLORREF TopDown(const PxImage& image, LONG x, LONG y) {
    return PxImage::RGBQUADtoRGB(
        image.GetPixelColor(x, static_cast<LONG>(image.GetHeight()) - 1 - y));
}

// A 24 bpp picture whose every pixel is a different colour.
PxImage Gradient(DWORD w, DWORD h) {
    PxImage image(w, h, 24);
    for (DWORD y = 0; y < h; ++y)
        for (DWORD x = 0; x < w; ++x)
            image.SetPixelColor(x, y, RGB(BYTE(x * 2), BYTE(y * 2), BYTE(x + y)));
    return image;
}

}  // namespace

TEST(PxImageDraw, NothingIsDrawnWhenDisabledInvalidOrEmpty) {
    TestCanvas c(20, 20);
    PxImage image = Gradient(10, 10);
    image.Enable(false);
    EXPECT_EQ(image.Draw(c.dc, 0, 0), 0);
    image.Enable(true);
    EXPECT_EQ(image.Draw(nullptr, 0, 0), 0);
    EXPECT_EQ(image.Draw(c.dc, 0, 0, 0, 5), 0);
    EXPECT_EQ(PxImage().Draw(c.dc, 0, 0), 0);
    EXPECT_EQ(c.Count(RECT{0, 0, 20, 20}, kWhite), 400);
    EXPECT_EQ(image.Draw(c.dc, 2, 3), 1);
    EXPECT_EQ(c.At(2, 3), TopDown(image, 0, 0));
    EXPECT_EQ(c.At(11, 12), TopDown(image, 9, 9));
    EXPECT_EQ(c.At(12, 12), kWhite);
}

TEST(PxImageDraw, TransparentGifFrameKeepsRedWhereverItsColourIs) {
    TestCanvas c(8, 2, kRed);
    PxImage frame(4, 1, 8, PX_FORMAT_GIF);
    frame.SetPaletteIndex(0, RGBQUAD{10, 20, 30, 0});
    frame.SetPaletteIndex(1, RGBQUAD{0, 200, 0, 0});
    frame.SetPaletteIndex(2, RGBQUAD{10, 20, 30, 0});  // same colour as the transparent entry
    frame.SetPaletteIndex(3, RGBQUAD{10, 20, 30, 1});  // differs only in the reserved byte
    for (LONG x = 0; x < 4; ++x)
        frame.SetPixelIndex(x, 0, BYTE(x));
    frame.SetTransIndex(0);
    for (const LONG cx : {4, 8}) {  // unscaled and scaled paths
        c.surface->Fill(kRed);
        frame.Draw(c.dc, 0, 0, cx, cx == 4 ? 1 : 2);
        const LONG step = cx / 4;
        EXPECT_EQ(c.At(0 * step, 0), kRed);
        EXPECT_EQ(c.At(1 * step, 0), RGB(0, 200, 0));
        EXPECT_EQ(c.At(2 * step, 0), kRed);
        EXPECT_EQ(c.At(3 * step, 0), RGB(30, 20, 10));
    }
}

TEST(PxImageDraw, AlphaBlendsOverTheDeviceWithTheTruncatingFormula) {
    TestCanvas c(16, 4);
    PxImage image = Gradient(16, 4);
    image.AlphaCreate();
    image.AlphaSet(BYTE{128});
    image.AlphaSetMax(255);
    image.Draw(c.dc, 0, 0);
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 16; ++x) {
            const COLORREF v = TopDown(image, x, y), got = c.At(x, y);
            EXPECT_EQ(GetRValue(got), (255 * 127 + GetRValue(v) * 128) >> 8);
            EXPECT_EQ(GetGValue(got), (255 * 127 + GetGValue(v) * 128) >> 8);
            EXPECT_EQ(GetBValue(got), (255 * 127 + GetBValue(v) * 128) >> 8);
        }
    // alphaMax scales the channel: 0 leaves the device alone.
    TestCanvas untouched(16, 4);
    image.AlphaSetMax(0);
    image.Draw(untouched.dc, 0, 0);
    EXPECT_EQ(untouched.Count(RECT{0, 0, 16, 4}, kWhite), 64);
}

TEST(PxImageDraw, PaletteAlphaUsesTheReservedBytes) {
    TestCanvas c(2, 1);
    PxImage image(2, 1, 1);
    image.Clear();
    image.SetPaletteIndex(0, RGBQUAD{0, 0, 0, 0});    // fully transparent
    image.SetPaletteIndex(1, RGBQUAD{0, 0, 0, 255});  // opaque black
    image.SetPixelIndex(1, 0, 1);
    image.AlphaPaletteEnable();
    image.Draw(c.dc, 0, 0);
    EXPECT_EQ(c.At(0, 0), kWhite);
    EXPECT_EQ(c.At(1, 0), RGB(0, 0, 0));
}

TEST(PxImageDraw, HalfSizeTakesEverySecondRowAndColumn) {
    TestCanvas c(60, 60);
    const PxImage image = Gradient(100, 100);
    image.Draw(c.dc, 5, 5, 50, 50);
    for (LONG j = 0; j < 50; ++j)
        for (LONG i = 0; i < 50; ++i)
            ASSERT_EQ(c.At(5 + i, 5 + j), TopDown(image, 2 * i, 2 * j + 1)) << i << "," << j;
    EXPECT_EQ(c.At(55, 30), kWhite);
}

TEST(PxImageDraw, OnlyTheVisiblePartIsDrawnAndItMapsLikeTheWhole) {
    const PxImage image = Gradient(40, 30);
    TestCanvas whole(100, 100), part(100, 100);
    image.Draw(whole.dc, -10, -5, 80, 60);
    const RECT clip{20, 10, 50, 30};
    image.Draw(part.dc, -10, -5, 80, 60, &clip);
    for (LONG y = 0; y < 100; ++y)
        for (LONG x = 0; x < 100; ++x) {
            const bool inside = x >= 20 && x < 50 && y >= 10 && y < 30;
            ASSERT_EQ(part.At(x, y), inside ? whole.At(x, y) : kWhite) << x << "," << y;
        }
}

TEST(PxImageDraw, ClipRectangleLeavesTheClipRegionAsItWas) {
    TestCanvas c(50, 50);
    PxImage image = Gradient(10, 10);
    image.SetTransIndex(0);
    RECT before{}, after{};
    GetClipBox(c.dc, &before);
    const RECT miss{30, 30, 40, 40};
    EXPECT_EQ(image.Draw(c.dc, 0, 0, -1, -1, &miss), 1);
    EXPECT_EQ(c.Count(RECT{0, 0, 50, 50}, kWhite), 2500);
    GetClipBox(c.dc, &after);
    EXPECT_TRUE(before.left == after.left && before.top == after.top &&
                before.right == after.right && before.bottom == after.bottom);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(c.dc, probe), 0);  // still no clip region at all

    // A complex clip region comes back exactly, not as its bounding box.
    HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(20, 20, 30, 30);
    CombineRgn(a, a, b, RGN_OR);
    SelectClipRgn(c.dc, a);
    const RECT hit{0, 0, 25, 25};
    image.Draw(c.dc, 0, 0, 40, 40, &hit);
    EXPECT_EQ(GetClipRgn(c.dc, probe), 1);
    EXPECT_TRUE(EqualRgn(probe, a));
    EXPECT_EQ(c.At(15, 15), kWhite);
    for (HRGN r : {probe, a, b})
        DeleteObject(r);
}

TEST(PxImageDraw, PalettedPicturesDrawInTheirPaletteColours) {
    TestCanvas c(10, 10);
    PxImage image(3, 2, 4);
    image.Clear();
    image.SetPaletteIndex(5, RGB(1, 2, 3));
    image.SetPaletteIndex(9, RGB(200, 100, 50));
    image.SetPixelIndex(0, 1, 5);  // top-left
    image.SetPixelIndex(2, 0, 9);  // bottom-right
    image.Draw(c.dc, 1, 1);
    EXPECT_EQ(c.At(1, 1), RGB(1, 2, 3));
    EXPECT_EQ(c.At(3, 2), RGB(200, 100, 50));
    image.Draw(c.dc, 4, 4, 6, 4);
    EXPECT_EQ(c.At(4, 4), RGB(1, 2, 3));
    EXPECT_EQ(c.At(9, 7), RGB(200, 100, 50));
}

TEST(PxImageStretch, ScalesTheWholePictureWithoutTransparency) {
    TestCanvas c(20, 20);
    PxImage image = Gradient(4, 4);
    image.SetTransIndex(0);
    image.SetTransColor(image.GetPixelColor(0, 3));
    EXPECT_EQ(image.Stretch(c.dc, RECT{0, 0, 8, 8}), 1);
    EXPECT_EQ(c.At(0, 0), TopDown(image, 0, 0));
    EXPECT_EQ(c.At(7, 7), TopDown(image, 3, 3));
    EXPECT_EQ(GetStretchBltMode(c.dc), COLORONCOLOR);
    EXPECT_EQ(PxImage().Stretch(c.dc, 0, 0, 1, 1), 0);
}

TEST(PxImageBitmap, MakeBitmapAndCreateFromHBITMAPRoundTrip) {
    TestCanvas c(4, 4);
    PxImage image(5, 3, 8);
    for (int i = 0; i < 15; ++i) {
        image.SetPaletteIndex(BYTE(i), RGB(BYTE(16 * i), BYTE(255 - 16 * i), BYTE(i)));
        image.SetPixelIndex(i % 5, i / 5, BYTE(i));
    }
    for (HDC hdc : {c.dc, HDC{nullptr}}) {
        HBITMAP bitmap = image.MakeBitmap(hdc);
        ASSERT_NE(bitmap, nullptr);
        PxImage back;
        ASSERT_TRUE(back.CreateFromHBITMAP(bitmap));
        EXPECT_EQ(back.GetBpp(), 24);
        EXPECT_EQ(back.GetType(), 0u);
        for (LONG y = 0; y < 3; ++y)
            for (LONG x = 0; x < 5; ++x)
                EXPECT_EQ(PxImage::RGBQUADtoRGB(back.GetPixelColor(x, y)),
                          PxImage::RGBQUADtoRGB(image.GetPixelColor(x, y)));
        DeleteObject(bitmap);
    }
    EXPECT_EQ(PxImage().MakeBitmap(c.dc), nullptr);
}

TEST(PxImageBitmap, CreateFromHBITMAPFailureLeavesThePicture) {
    PxImage image = Gradient(3, 3);
    // Not a bitmap: its description is read, but its rows cannot be.
    HBRUSH brush = CreateHatchBrush(HS_CROSS, RGB(4, 0, 0));
    EXPECT_FALSE(image.CreateFromHBITMAP(reinterpret_cast<HBITMAP>(brush)));
    EXPECT_STREQ(image.GetLastError(), "GetDIBits failed");
    EXPECT_EQ(image.GetWidth(), 3u);
    EXPECT_EQ(TopDown(image, 1, 1), TopDown(Gradient(3, 3), 1, 1));
    DeleteObject(brush);
    // A null handle empties the image.
    EXPECT_FALSE(image.CreateFromHBITMAP(nullptr));
    EXPECT_FALSE(image.IsValid());
}

TEST(PxImageTile, RepeatsThePictureInsideTheRectangleOnly) {
    TestCanvas c(12, 10);
    const PxImage image = Gradient(3, 2);
    const RECT r{1, 1, 9, 6};
    EXPECT_EQ(image.Tile(c.dc, &r), 1);
    for (LONG y = 0; y < 10; ++y)
        for (LONG x = 0; x < 12; ++x) {
            const bool inside = x >= 1 && x < 9 && y >= 1 && y < 6;
            ASSERT_EQ(c.At(x, y), inside ? TopDown(image, (x - 1) % 3, (y - 1) % 2) : kWhite)
                << x << "," << y;
        }
    RECT box;
    GetClipBox(c.dc, &box);
    EXPECT_EQ(box.right, 12);
}

TEST(PxImageDraw2, MasksOutTheTransparentColour) {
    TestCanvas c(8, 4, kRed);
    PxImage image(2, 2, 1);
    image.Clear();
    image.SetPaletteIndex(0, RGB(0, 0, 0));
    image.SetPaletteIndex(1, RGB(0, 0, 255));
    image.SetPixelIndex(1, 1, 1);  // top-right blue, the rest black (transparent)
    image.SetTransIndex(0);
    EXPECT_EQ(image.Draw2(c.dc, 0, 0, 4, 4), 1);
    EXPECT_EQ(c.At(0, 0), kRed);
    EXPECT_EQ(c.At(3, 0), RGB(0, 0, 255));
    EXPECT_EQ(c.At(3, 3), kRed);
    EXPECT_EQ(c.At(5, 0), kRed);
}
