#include "imaging/px_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/base/dib_header.h"

namespace {

// Reaches the protected members the codecs use.
class ImageProbe : public PxImage {
public:
    using PxImage::Bitfield2RGB;
    using PxImage::CopyInfo;
    using PxImage::Ghost;
    using PxImage::PxImage;
    using PxImage::RGBtoBGR;
};

constexpr RGBQUAD kRed{0, 0, 255, 0};

}  // namespace

TEST(PxImageCreate, RoundsBitsPerPixelAndSizesThePalette) {
    struct Case {
        LONG asked;
        WORD bpp;
        DWORD colors;
    } cases[] = {{0, 1, 2},   {1, 1, 2},   {2, 4, 16},  {4, 4, 16}, {5, 8, 256},
                 {8, 8, 256}, {16, 24, 0}, {24, 24, 0}, {32, 24, 0}};
    for (const Case& c : cases) {
        PxImage image;
        ASSERT_NE(image.Create(3, 2, c.asked, PX_FORMAT_BMP), nullptr) << c.asked;
        EXPECT_EQ(image.GetBpp(), c.bpp) << c.asked;
        EXPECT_EQ(image.GetNumColors(), c.colors) << c.asked;
        EXPECT_EQ(image.GetPaletteSize(), 4 * c.colors);
        EXPECT_EQ(image.IsIndexed(), c.colors != 0);
        EXPECT_EQ(image.GetType(), DWORD{PX_FORMAT_BMP});
    }
}

TEST(PxImageCreate, RowStrideIsRoundedToFourBytes) {
    struct Case {
        DWORD width;
        LONG bpp;
        DWORD stride;
    } cases[] = {{1, 24, 4}, {33, 1, 8}, {32, 1, 4}, {7, 4, 4}, {9, 4, 8}, {5, 8, 8}, {4, 24, 12}};
    for (const Case& c : cases) {
        PxImage image(c.width, 3, static_cast<DWORD>(c.bpp));
        ASSERT_TRUE(image.IsValid());
        EXPECT_EQ(image.GetEffWidth(), c.stride) << c.width << "x" << c.bpp;
        EXPECT_EQ(image.GetSize(), static_cast<LONG>(40 + image.GetPaletteSize() + c.stride * 3));
    }
}

TEST(PxImageCreate, BlockHoldsALittleEndianHeaderThenZeroedPaletteThenRows) {
    PxImage image(5, 3, 8, PX_FORMAT_GIF);
    const BYTE* dib = image.GetDIB();
    ASSERT_NE(dib, nullptr);
    BITMAPINFOHEADER h = UnpackInfoHeader(dib);
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 5);
    EXPECT_EQ(h.biHeight, 3);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 8);
    EXPECT_EQ(h.biSizeImage, 24u);
    EXPECT_EQ(h.biClrUsed, 256u);
    EXPECT_EQ(h.biXPelsPerMeter, 2835);
    EXPECT_EQ(dib[4], 5);  // low byte first
    EXPECT_EQ(image.GetBits(), dib + 40 + 1024);
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(dib[40 + i], 0);
    image.SetXDPI(300);
    EXPECT_EQ(UnpackInfoHeader(image.GetDIB()).biXPelsPerMeter, 11811);
}

TEST(PxImageCreate, HostileSizesFailAndLeaveTheImageInvalid) {
    PxImage image;
    EXPECT_EQ(image.Create(0, 10, 8), nullptr);
    EXPECT_EQ(image.Create(10, 0, 8), nullptr);
    EXPECT_EQ(image.Create(0xFFFFFFFF, 0xFFFFFFFF, 24), nullptr);
    EXPECT_EQ(image.Create(65536, 65536, 1), nullptr);  // 2^32 pixels
    EXPECT_EQ(image.Create(0x80000000u, 1, 1), nullptr);
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.GetBits(), nullptr);
    // A 200-megapixel picture is still accepted by the size rules.
    PxImage big;
    EXPECT_NE(big.Create(20000, 10000, 1), nullptr);
}

TEST(PxImageCreate, StartupDefaults) {
    PxImage image(PX_FORMAT_PNG);
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.GetType(), DWORD{PX_FORMAT_PNG});
    EXPECT_EQ(image.GetJpegQuality(), 75);
    EXPECT_EQ(image.AlphaGetMax(), 255);
    EXPECT_EQ(image.GetTransIndex(), -1);
    EXPECT_FALSE(image.IsTransparent());
    EXPECT_TRUE(image.IsEnabled());
    EXPECT_EQ(image.GetXDPI(), 72);
    EXPECT_EQ(image.GetYDPI(), 72);
    EXPECT_STREQ(image.GetLastError(), "");
    EXPECT_STREQ(PxImage::GetVersion(), "PxImage 5.00");
}

TEST(PxImageAccess, InvalidImageAnswersSafely) {
    PxImage image;
    image.SetPixelIndex(0, 0, 1);
    image.SetPixelColor(0, 0, kRed);
    image.Clear(0xFF);
    image.SetPaletteIndex(0, kRed);
    EXPECT_EQ(image.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(image.GetPalette(), nullptr);
    EXPECT_EQ(image.GetPaletteSize(), 0u);
    EXPECT_EQ(image.GetNearestIndex(kRed), 0);
    EXPECT_FALSE(image.AlphaCreate());
    EXPECT_FALSE(image.SelectionCreate());
    EXPECT_FALSE(image.SwapIndex(0, 1));
    EXPECT_EQ(image.CopyToHandle(), nullptr);
    EXPECT_FALSE(image.IsInsideSelection(0, 0));
}

TEST(PxImagePixels, IndexedRowsPackPixelsMostSignificantFirst) {
    PxImage four(3, 2, 4);
    four.Clear(0);
    four.SetPixelIndex(0, 1, 0x1A);  // only the low nibble is kept
    four.SetPixelIndex(1, 1, 0x0B);
    EXPECT_EQ(four.GetBits()[four.GetEffWidth()], 0xAB);
    EXPECT_EQ(four.GetPixelIndex(0, 1), 0x0A);
    EXPECT_EQ(four.GetPixelIndex(1, 1), 0x0B);

    PxImage one(9, 1, 1);
    one.Clear(0);
    one.SetPixelIndex(0, 0, 3);
    one.SetPixelIndex(8, 0, 1);
    EXPECT_EQ(one.GetBits()[0], 0x80);
    EXPECT_EQ(one.GetBits()[1], 0x80);
    one.SetPixelIndex(0, 0, 0);
    EXPECT_EQ(one.GetBits()[0], 0x00);
    EXPECT_EQ(one.GetPixelIndex(8, 0), 1);
}

TEST(PxImagePixels, ReadsOutsideAnswerWithTheTransparentColour) {
    PxImage image(4, 4, 8);
    image.SetPaletteIndex(5, RGBQUAD{1, 2, 3, 4});
    EXPECT_EQ(image.GetPixelIndex(-1, 0), 0);
    image.SetTransIndex(5);
    EXPECT_EQ(image.GetPixelIndex(-1, 0), 5);
    EXPECT_EQ(image.GetPixelIndex(0, 4), 5);
    const RGBQUAD outside = image.GetPixelColor(4, 0);
    EXPECT_EQ(outside.rgbBlue, 1);
    EXPECT_EQ(outside.rgbReserved, 4);
    EXPECT_EQ(image.GetTransColor().rgbRed, 3);

    PxImage rgb(2, 2, 24);
    rgb.SetTransColor(RGBQUAD{9, 8, 7, 6});
    rgb.SetPixelColor(1, 1, RGB(10, 20, 30));
    const RGBQUAD c = rgb.GetPixelColor(1, 1);
    EXPECT_EQ(c.rgbRed, 10);
    EXPECT_EQ(c.rgbGreen, 20);
    EXPECT_EQ(c.rgbBlue, 30);
    EXPECT_EQ(c.rgbReserved, 6);  // from transColor, not 0
    EXPECT_EQ(rgb.GetPixelColor(-1, 0).rgbBlue, 9);
    EXPECT_EQ(rgb.GetPixelIndex(0, 0), 0);
}

TEST(PxImagePixels, ColourWritesIntoPalettesTakeTheNearestEntry) {
    PxImage image(2, 1, 8);
    image.SetPaletteIndex(3, kRed);
    image.SetPaletteIndex(7, kRed);
    image.SetPaletteIndex(9, RGBQUAD{0, 0, 200, 0});
    EXPECT_EQ(image.GetNearestIndex(kRed), 3);
    image.SetPixelColor(0, 0, RGBQUAD{0, 0, 210, 0});
    EXPECT_EQ(image.GetPixelIndex(0, 0), 9);
    // Equal distances keep the lower index.
    PxImage tie(1, 1, 1);
    tie.SetPaletteIndex(0, RGBQUAD{0, 0, 10, 0});
    tie.SetPaletteIndex(1, RGBQUAD{0, 0, 30, 0});
    EXPECT_EQ(tie.GetNearestIndex(RGBQUAD{0, 0, 20, 0}), 0);
}

TEST(PxImagePalette, SettersCopyOnlyWhatFits) {
    PxImage image(1, 1, 1);
    RGBQUAD many[4] = {{1, 1, 1, 1}, {2, 2, 2, 2}, {3, 3, 3, 3}, {4, 4, 4, 4}};
    image.SetPalette(many, 4);
    EXPECT_EQ(image.GetPaletteColor(1).rgbBlue, 2);
    EXPECT_EQ(image.GetPaletteColor(2).rgbBlue, 0);  // beyond the palette
    BYTE red[2] = {10, 20};
    image.SetPalette(2, red);
    EXPECT_EQ(image.GetPaletteColor(1).rgbGreen, 20);
    EXPECT_EQ(image.GetPaletteColor(1).rgbBlue, 20);
    EXPECT_EQ(image.GetPaletteColor(1).rgbReserved, 2);  // untouched
    rgb_color triples[2] = {{1, 2, 3}, {4, 5, 6}};
    image.SetPalette(triples, 2);
    BYTE r, g, b;
    ASSERT_TRUE(image.GetRGB(1, &r, &g, &b));
    EXPECT_EQ(r + g + b, 15);
    EXPECT_FALSE(image.GetRGB(2, &r, &g, &b));
    image.SetPaletteIndex(0, RGB(7, 8, 9));
    EXPECT_EQ(image.GetPaletteColor(0).rgbRed, 7);
    EXPECT_EQ(image.GetPaletteColor(0).rgbBlue, 9);
}

TEST(PxImagePalette, GreyRampsBlendingAndGreyDetection) {
    PxImage four(1, 1, 4);
    four.SetGrayPalette();
    EXPECT_EQ(four.GetPaletteColor(1).rgbRed, 17);
    EXPECT_EQ(four.GetPaletteColor(15).rgbBlue, 255);
    EXPECT_FALSE(four.IsGrayScale());
    PxImage eight(1, 1, 8);
    eight.SetGrayPalette();
    EXPECT_TRUE(eight.IsGrayScale());
    eight.BlendPalette(RGB(255, 0, 0), 150);  // held to 100
    EXPECT_EQ(eight.GetPaletteColor(0).rgbRed, 255);
    EXPECT_EQ(eight.GetPaletteColor(200).rgbGreen, 0);
    PxImage two(1, 1, 1);
    two.SetGrayPalette();
    two.BlendPalette(RGB(255, 255, 255), -50);  // held to 0: unchanged
    EXPECT_EQ(two.GetPaletteColor(0).rgbRed, 0);
    EXPECT_EQ(two.GetPaletteColor(1).rgbRed, 255);
    two.BlendPalette(RGB(100, 0, 0), 50);
    EXPECT_EQ(two.GetPaletteColor(1).rgbRed, 177);
}

TEST(PxImagePalette, SwapIndexKeepsThePictureLookingTheSame) {
    PxImage image(5, 2, 4);
    image.Clear(0);
    image.SetPaletteIndex(1, kRed);
    image.SetPaletteIndex(2, RGBQUAD{255, 0, 0, 0});
    image.SetPixelIndex(0, 0, 1);
    image.SetPixelIndex(4, 1, 2);
    ASSERT_TRUE(image.SwapIndex(1, 2));
    EXPECT_EQ(image.GetPixelIndex(0, 0), 2);
    EXPECT_EQ(image.GetPixelIndex(4, 1), 1);
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 255);
    EXPECT_EQ(image.GetPixelColor(4, 1).rgbBlue, 255);
    EXPECT_FALSE(image.SwapIndex(1, 16));
}

TEST(PxImageLifetime, CopyDuplicatesBlocksAndMasks) {
    PxImage src(4, 3, 8, PX_FORMAT_GIF);
    src.Clear(7);
    src.SetPaletteIndex(7, kRed);
    src.SetTransIndex(7);
    src.SetFrameDelay(12);
    ASSERT_TRUE(src.AlphaCreate());
    src.AlphaSet(1, 1, 99);
    RECT r{0, 2, 2, 0};
    ASSERT_TRUE(src.SelectionAddRect(r));

    PxImage copy(src);
    EXPECT_NE(copy.GetDIB(), src.GetDIB());
    EXPECT_EQ(std::memcmp(copy.GetDIB(), src.GetDIB(), static_cast<size_t>(src.GetSize())), 0);
    EXPECT_EQ(copy.GetTransIndex(), 7);
    EXPECT_EQ(copy.GetFrameDelay(), 12u);
    EXPECT_EQ(copy.AlphaGet(1, 1), 99);
    EXPECT_TRUE(copy.IsInsideSelection(1, 1));
    EXPECT_FALSE(copy.IsInsideSelection(3, 1));

    PxImage paletteOnly(src, false, false, false);
    EXPECT_EQ(paletteOnly.GetPaletteColor(7).rgbRed, 255);
    EXPECT_FALSE(paletteOnly.HasAlpha());
    EXPECT_FALSE(paletteOnly.HasSelection());

    PxImage assigned;
    assigned = src;
    // Assigned to itself (through a second name) it keeps its picture.
    const PxImage& same = assigned;
    assigned = same;
    EXPECT_EQ(assigned.GetPixelIndex(0, 0), 7);
}

TEST(PxImageLifetime, TransferMovesEverythingAndEmptiesTheSource) {
    PxImage a(2, 2, 24), b(3, 5, 8, PX_FORMAT_PNG);
    b.SetJpegQuality(90);
    ASSERT_TRUE(b.AlphaCreate());
    BYTE* dib = b.GetDIB();
    ASSERT_TRUE(a.Transfer(b));
    EXPECT_EQ(a.GetDIB(), dib);
    EXPECT_EQ(a.GetWidth(), 3u);
    EXPECT_EQ(a.GetJpegQuality(), 90);
    EXPECT_TRUE(a.HasAlpha());
    EXPECT_FALSE(b.IsValid());
    EXPECT_EQ(b.GetWidth(), 0u);
    EXPECT_FALSE(b.HasAlpha());
    // Re-creating the emptied source never touches the moved masks.
    b.Create(1, 1, 8);
    b.AlphaCreate();
    b.Destroy();
    EXPECT_EQ(a.AlphaGet(0, 0), 0);
}

TEST(PxImageLifetime, GhostBorrowsWithoutOwning) {
    PxImage owner(4, 4, 8);
    owner.Clear(3);
    ASSERT_TRUE(owner.AlphaCreate());
    {
        ImageProbe ghost;
        ghost.Ghost(&owner);
        EXPECT_EQ(ghost.GetDIB(), owner.GetDIB());
        EXPECT_EQ(ghost.GetPixelIndex(2, 2), 3);
        // A ghost that creates a picture owns that one and frees it itself.
        ImageProbe other;
        other.Ghost(&owner);
        ASSERT_NE(other.Create(2, 2, 24), nullptr);
        EXPECT_NE(other.GetDIB(), owner.GetDIB());
    }
    EXPECT_TRUE(owner.IsValid());
    EXPECT_EQ(owner.GetPixelIndex(2, 2), 3);
    EXPECT_TRUE(owner.HasAlpha());
}

TEST(PxImageLifetime, CopyInfoOnlyIntoAnImageWithoutPixels) {
    PxImage src(2, 2, 8);
    src.SetFrame(4);
    ImageProbe empty;
    empty.CopyInfo(src);
    EXPECT_EQ(empty.GetFrame(), 4);
    ImageProbe full(1, 1, 8);
    full.CopyInfo(src);
    EXPECT_EQ(full.GetFrame(), 0);
}

TEST(PxImageAlpha, ChannelOperations) {
    PxImage image(3, 2, 24);
    image.AlphaSet(BYTE{5});  // no channel yet: nothing happens
    EXPECT_EQ(image.AlphaGet(0, 0), 0);
    ASSERT_TRUE(image.AlphaCreate());
    EXPECT_EQ(image.GetColorType(), 4);
    image.AlphaSet(0, 0, 10);
    image.AlphaSet(2, 0, 30);
    image.AlphaSet(5, 5, 1);  // outside: ignored
    ASSERT_TRUE(image.AlphaMirror());
    EXPECT_EQ(image.AlphaGet(0, 0), 30);
    ASSERT_TRUE(image.AlphaFlip());
    EXPECT_EQ(image.AlphaGet(0, 1), 30);
    EXPECT_EQ(image.AlphaGet(0, 0), 0);
    image.AlphaInvert();
    EXPECT_EQ(image.AlphaGet(0, 1), 225);
    PxImage grey;
    ASSERT_TRUE(image.AlphaSplit(&grey));
    EXPECT_EQ(grey.GetBpp(), 8);
    EXPECT_EQ(grey.GetPixelIndex(0, 1), 225);
    EXPECT_EQ(grey.GetPixelColor(0, 1).rgbGreen, 225);

    PxImage sameWidthShorter(3, 1, 24);
    EXPECT_FALSE(sameWidthShorter.AlphaCopy(image));
    PxImage twin(3, 2, 8);
    image.AlphaSetMax(128);
    ASSERT_TRUE(twin.AlphaCopy(image));
    EXPECT_EQ(twin.AlphaGet(0, 1), 225);
    EXPECT_EQ(twin.AlphaGetMax(), 128);
    image.AlphaDelete();
    EXPECT_EQ(image.GetColorType(), 2);
    EXPECT_EQ(twin.GetColorType(), 4);
}

TEST(PxImageAlpha, StripBlendsTowardTheTransparentColour) {
    PxImage image(2, 1, 24);
    image.SetPixelColor(0, 0, RGB(200, 100, 0));
    image.SetPixelColor(1, 0, RGB(200, 100, 0));
    image.SetTransColor(RGBQUAD{0, 0, 0, 0});
    ASSERT_TRUE(image.AlphaCreate());
    image.AlphaSet(0, 0, 255);
    ASSERT_TRUE(image.AlphaStrip());
    EXPECT_FALSE(image.HasAlpha());
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 200);
    EXPECT_EQ(image.GetPixelColor(1, 0).rgbRed, 0);
}

TEST(PxImageAlpha, PaletteReservedBytes) {
    PxImage image(1, 1, 4);
    EXPECT_FALSE(image.HasAlphaPalette());
    image.SetPaletteIndex(3, 1, 2, 3, 128);
    EXPECT_TRUE(image.HasAlphaPalette());
    image.AlphaPaletteClear();
    EXPECT_FALSE(image.HasAlphaPalette());
    EXPECT_EQ(image.GetPaletteColor(3).rgbRed, 1);
}

TEST(PxImageSelection, ShapesSetTheMaskAndGrowTheBox) {
    PxImage image(10, 10, 24);
    RECT box;
    ASSERT_TRUE(image.SelectionCreate());
    image.GetSelectionBox(box);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.bottom, 10);
    EXPECT_FALSE(image.IsInsideSelection(0, 0));

    ASSERT_TRUE(image.SelectionAddRect(RECT{2, 5, 4, 3}));
    EXPECT_TRUE(image.IsInsideSelection(2, 3));
    EXPECT_TRUE(image.IsInsideSelection(3, 4));
    EXPECT_FALSE(image.IsInsideSelection(4, 4));
    EXPECT_FALSE(image.IsInsideSelection(3, 5));
    image.GetSelectionBox(box);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.right, 4);
    EXPECT_EQ(box.bottom, 3);
    EXPECT_EQ(box.top, 5);

    ASSERT_TRUE(image.SelectionClear());
    ASSERT_TRUE(image.SelectionAddEllipse(RECT{0, 10, 10, 0}));
    EXPECT_TRUE(image.IsInsideSelection(5, 5));
    EXPECT_TRUE(image.IsInsideSelection(0, 5));
    EXPECT_FALSE(image.IsInsideSelection(0, 0));
    EXPECT_FALSE(image.IsInsideSelection(9, 9));

    ASSERT_TRUE(image.SelectionClear());
    const POINT triangle[] = {{0, 0}, {10, 0}, {0, 10}};
    ASSERT_TRUE(image.SelectionAddPolygon(triangle, 3));
    EXPECT_TRUE(image.IsInsideSelection(1, 1));
    EXPECT_TRUE(image.IsInsideSelection(0, 8));
    EXPECT_FALSE(image.IsInsideSelection(9, 9));
    EXPECT_FALSE(image.SelectionAddPolygon(triangle, 2));

    ASSERT_TRUE(image.SelectionInvert());
    EXPECT_TRUE(image.IsInsideSelection(9, 9));
    EXPECT_FALSE(image.IsInsideSelection(1, 1));
}

TEST(PxImageSelection, HostileShapesStayInsideTheMask) {
    PxImage image(4, 4, 8);
    ASSERT_TRUE(image.SelectionAddRect(RECT{-100, 2000000000, 2000000000, -5}));
    EXPECT_TRUE(image.IsInsideSelection(3, 3));
    ASSERT_TRUE(image.SelectionClear());
    ASSERT_TRUE(image.SelectionAddEllipse(RECT{INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN}));
    const POINT far[] = {{INT32_MIN, 0}, {INT32_MAX, 1}, {0, INT32_MAX}};
    ASSERT_TRUE(image.SelectionAddPolygon(far, 3));
    PxImage other(4, 5, 8);
    EXPECT_FALSE(other.SelectionCopy(image));
    PxImage twin(4, 4, 8);
    ASSERT_TRUE(twin.SelectionCopy(image));
    EXPECT_TRUE(twin.HasSelection());
    ASSERT_TRUE(twin.SelectionDelete());
    EXPECT_FALSE(twin.HasSelection());
    EXPECT_TRUE(twin.IsInsideSelection(0, 0));  // no mask: every pixel counts
}

TEST(PxImageHandle, RoundTripsTheBlock) {
    PxImage image(3, 2, 4, PX_FORMAT_BMP);
    image.Clear(0x12);
    image.SetPaletteIndex(2, kRed);
    image.SetXDPI(96);
    HANDLE h = image.CopyToHandle();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), static_cast<std::size_t>(image.GetSize()));
    PxImage back;
    ASSERT_TRUE(back.CreateFromHANDLE(h));
    GlobalFree(h);
    EXPECT_EQ(std::memcmp(back.GetDIB(), image.GetDIB(), static_cast<size_t>(image.GetSize())), 0);
    EXPECT_EQ(back.GetXDPI(), 96);
    EXPECT_EQ(back.GetPixelIndex(0, 0), 1);
}

namespace {

HGLOBAL BitfieldDib(LONG height, WORD bpp, DWORD compression, const std::vector<BYTE>& rest) {
    HGLOBAL h = GlobalAlloc(GHND, 40 + rest.size());
    auto* block = static_cast<BYTE*>(GlobalLock(h));
    BITMAPINFOHEADER header{40, 2, height, 1, bpp, compression, 0, 0, 0, 0, 0};
    PackInfoHeader(header, block);
    std::memcpy(block + 40, rest.data(), rest.size());
    GlobalUnlock(h);
    return h;
}

}  // namespace

TEST(PxImageHandle, AcceptsBitfieldDibsAndTopDownRows) {
    // 5-6-5 masks, then two rows of two pixels (4 bytes each), listed top row first.
    HGLOBAL h = BitfieldDib(-2, 16, BI_BITFIELDS,
                            {0x00, 0xF8, 0,    0,    0xE0, 0x07, 0,    0,   0x1F, 0, 0, 0,  //
                             0xFF, 0xFF, 0x00, 0xF8, 0x1F, 0x00, 0x00, 0x00});
    PxImage image;
    ASSERT_TRUE(image.CreateFromHANDLE(h));
    GlobalFree(h);
    EXPECT_EQ(image.GetBpp(), 24);
    RGBQUAD white = image.GetPixelColor(0, 1);
    EXPECT_EQ(white.rgbRed, 248);
    EXPECT_EQ(white.rgbGreen, 252);
    EXPECT_EQ(white.rgbBlue, 248);
    EXPECT_EQ(image.GetPixelColor(1, 1).rgbRed, 248);
    EXPECT_EQ(image.GetPixelColor(1, 1).rgbBlue, 0);
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbBlue, 248);

    HGLOBAL h32 = BitfieldDib(1, 32, BI_RGB, {1, 2, 3, 4, 5, 6, 7, 8});
    ASSERT_TRUE(image.CreateFromHANDLE(h32));
    GlobalFree(h32);
    EXPECT_EQ(image.GetPixelColor(1, 0).rgbBlue, 5);
    EXPECT_EQ(image.GetPixelColor(1, 0).rgbRed, 7);
}

TEST(PxImageHandle, RefusesShortOrStrangeBlocksAndKeepsThePicture) {
    PxImage image(1, 1, 24);
    image.SetPixelColor(0, 0, RGB(1, 2, 3));
    HGLOBAL shortRows = BitfieldDib(100, 24, BI_RGB, {0, 0, 0, 0});
    HGLOBAL rle = BitfieldDib(1, 8, BI_RLE8, std::vector<BYTE>(1100));
    HGLOBAL odd = BitfieldDib(1, 7, BI_RGB, std::vector<BYTE>(100));
    HGLOBAL tiny = GlobalAlloc(GHND, 12);
    for (HGLOBAL h : {shortRows, rle, odd, tiny}) {
        EXPECT_FALSE(image.CreateFromHANDLE(h));
        GlobalFree(h);
    }
    EXPECT_FALSE(image.CreateFromHANDLE(nullptr));
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 1);
}

TEST(PxImageProtected, RgbToBgrSwapsOnlyWholeGroupsInTheRow) {
    ImageProbe image(1, 2, 24);  // stride 4: one pixel and a padding byte
    BYTE row[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    image.RGBtoBGR(row, 8);
    const BYTE expected[8] = {3, 2, 1, 4, 5, 6, 7, 8};
    EXPECT_EQ(std::memcmp(row, expected, 8), 0);
}

TEST(PxImageProtected, HostileBitfieldMasksStayDefined) {
    ImageProbe image(2, 1, 24);
    const BYTE src[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    image.Bitfield2RGB(src, 0xFFFF, 0xFFFF, 0xFFFF, 16);
    image.Bitfield2RGB(src, 0, 0, 0, 16);
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 0);
}
