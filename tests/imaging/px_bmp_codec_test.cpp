#include "imaging/px_bmp_codec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "imaging/px_image.h"
#include "imaging/px_mem_file.h"
#include "support/bmp_builder.h"

namespace {

bool DecodeBmp(PxImage& image, BmpBuilder& b) {
    return image.Decode(b.data(), b.size(), PX_FORMAT_BMP);
}

// A 2 x 2 8-bit picture whose rows, in file order, start with the given indices.
BmpBuilder Pal8(std::int32_t height, BYTE first, BYTE second) {
    BmpBuilder b;
    b.FileHeader(14 + 40 + 1024).InfoHeader(2, height, 8).GreyPalette(256);
    b.U8({first, first + 1, 0, 0, second, second + 1, 0, 0});
    return b;
}

}  // namespace

TEST(BmpDecode, FileHeaderIsOptionalAndTypeIsZero) {
    BmpBuilder bare;
    bare.InfoHeader(2, 1, 8).GreyPalette(256).U8({7, 9, 0, 0});
    PxImage image(PX_FORMAT_PNG);
    ASSERT_TRUE(DecodeBmp(image, bare)) << image.GetLastError();
    EXPECT_EQ(image.GetType(), 0u);
    EXPECT_EQ(image.GetPixelIndex(0, 0), 7);
    EXPECT_EQ(image.GetPixelIndex(1, 0), 9);
    EXPECT_EQ(image.GetXDPI(), 96);
    EXPECT_EQ(image.GetBpp(), 8);
}

TEST(BmpDecode, TopDownComesOutTheSameWayUpAsItsTwin) {
    BmpBuilder up = Pal8(2, 10, 20);
    BmpBuilder down = Pal8(-2, 20, 10);
    PxImage a, b;
    ASSERT_TRUE(DecodeBmp(a, up));
    ASSERT_TRUE(DecodeBmp(b, down));
    EXPECT_EQ(b.GetHeight(), 2u);
    EXPECT_EQ(std::memcmp(a.GetBits(), b.GetBits(), a.GetEffWidth() * 2), 0);
    EXPECT_EQ(b.GetPixelIndex(0, 1), 20);
}

TEST(BmpDecode, CoreHeaderWithThreeBytePalette) {
    BmpBuilder b;
    b.FileHeader(14 + 12 + 6).U32(12).U16(3).U16(1).U16(1).U16(1);
    b.U8({255, 0, 0, 0, 0, 255});  // blue, red
    b.U8({0x40, 0, 0, 0});         // pixels 0, 1, 0
    PxImage image;
    ASSERT_TRUE(DecodeBmp(image, b)) << image.GetLastError();
    EXPECT_EQ(image.GetBpp(), 1);
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbBlue, 255);
    EXPECT_EQ(image.GetPixelColor(1, 0).rgbRed, 255);
    EXPECT_EQ(image.GetPaletteColor(1).rgbReserved, 0);
}

TEST(BmpDecode, ShortPaletteStillGivesFullPaletteAndOffsetFindsPixels) {
    BmpBuilder b;
    b.FileHeader(14 + 40 + 64).InfoHeader(2, 1, 8, BI_RGB, 16).GreyPalette(16).U8({15, 3, 0, 0});
    PxImage image;
    ASSERT_TRUE(DecodeBmp(image, b)) << image.GetLastError();
    EXPECT_EQ(image.GetNumColors(), 256u);
    EXPECT_EQ(image.GetPixelIndex(0, 0), 15);
    EXPECT_EQ(image.GetPixelColor(1, 0).rgbGreen, 3);
}

TEST(BmpDecode, SixteenBitFieldsKeepTheTopBitsOfEachField) {
    BmpBuilder b;
    b.FileHeader(14 + 40 + 12).InfoHeader(2, 1, 16, BI_BITFIELDS);
    b.U32(0xF800).U32(0x07E0).U32(0x001F).U8({0xFF, 0xFF, 0x1F, 0x00});
    PxImage image;
    ASSERT_TRUE(DecodeBmp(image, b)) << image.GetLastError();
    const RGBQUAD white = image.GetPixelColor(0, 0);
    EXPECT_EQ(white.rgbRed, 248);
    EXPECT_EQ(white.rgbGreen, 252);
    EXPECT_EQ(white.rgbBlue, 248);
    EXPECT_EQ(image.GetPixelColor(1, 0).rgbBlue, 248);
    EXPECT_EQ(image.GetPixelColor(1, 0).rgbRed, 0);

    BmpBuilder odd;  // 2-3-1 fields: each keeps its top bits too
    odd.InfoHeader(1, 1, 16, BI_BITFIELDS).U32(0x30).U32(0x0E).U32(0x01).U8({0x3F, 0, 0, 0});
    ASSERT_TRUE(DecodeBmp(image, odd)) << image.GetLastError();
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 192);
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbGreen, 224);
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbBlue, 128);

    BmpBuilder plain;  // no masks: 5-5-5
    plain.InfoHeader(1, 1, 16).U8({0x00, 0x7C, 0, 0});
    ASSERT_TRUE(DecodeBmp(image, plain));
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 248);
}

TEST(BmpDecode, ThirtyTwoBitPixelsHonourUnusualMasks) {
    BmpBuilder plain;
    plain.InfoHeader(1, 1, 32).U8({1, 2, 3, 4});
    PxImage image;
    ASSERT_TRUE(DecodeBmp(image, plain));
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbBlue, 1);
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 3);
    BmpBuilder swapped;  // red in the top byte, green in bits 4-11, blue in byte 2
    swapped.InfoHeader(1, 1, 32, BI_BITFIELDS).U32(0xFF000000).U32(0x00000FF0).U32(0x00FF0000);
    swapped.U32(0xAB000120 | 0x00340000);
    ASSERT_TRUE(DecodeBmp(image, swapped)) << image.GetLastError();
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 0xAB);
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbGreen, 0x12);
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbBlue, 0x34);
}

TEST(BmpDecode, Rle8RunsDeltasAndAbsoluteRunsStayInsideTheRow) {
    BmpBuilder b;
    b.InfoHeader(4, 3, 8, BI_RLE8).GreyPalette(256);
    b.U8({3, 5});              // row 0: 5 5 5
    b.U8({0, 3, 7, 8, 9, 0});  // absolute run of 3 with padding: 7 (8 9 dropped)
    b.U8({0, 0});              // end of line
    b.U8({0, 2, 1, 1});        // delta to x 1 of row 2
    b.U8({200, 6});            // a run far past the row end
    b.U8({0, 1});              // end of bitmap
    PxImage image;
    ASSERT_TRUE(DecodeBmp(image, b)) << image.GetLastError();
    EXPECT_EQ(image.GetPixelIndex(2, 0), 5);
    EXPECT_EQ(image.GetPixelIndex(3, 0), 7);
    EXPECT_EQ(image.GetPixelIndex(0, 1), 0);  // never reached, read as 0
    EXPECT_EQ(image.GetPixelIndex(0, 2), 0);
    EXPECT_EQ(image.GetPixelIndex(1, 2), 6);
    EXPECT_EQ(image.GetPixelIndex(3, 2), 6);
}

TEST(BmpDecode, Rle4TakesNibblesInFileOrderWhateverTheColumn) {
    BmpBuilder b;
    b.InfoHeader(6, 1, 4, BI_RLE4).GreyPalette(16);
    b.U8({1, 0x12});           // x 0: 1
    b.U8({3, 0x34});           // x 1..3: 3 4 3 (starts at an odd column)
    b.U8({0, 3, 0xAB, 0xC0});  // absolute: A B C, two data bytes (even: no pad)
    b.U8({0, 1});
    PxImage image;
    ASSERT_TRUE(DecodeBmp(image, b)) << image.GetLastError();
    const int expected[6] = {1, 3, 4, 3, 0xA, 0xB};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(image.GetPixelIndex(x, 0), expected[x]) << x;
}

TEST(BmpDecode, TruncatedRowsReadAsZero) {
    BmpBuilder b;
    b.InfoHeader(2, 2, 24).U8({9, 9, 9});
    PxImage image;
    ASSERT_TRUE(DecodeBmp(image, b));
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 9);
    EXPECT_EQ(image.GetPixelColor(1, 0).rgbRed, 0);
    EXPECT_EQ(image.GetPixelColor(1, 1).rgbBlue, 0);
}

TEST(BmpDecode, HostileHeadersFailWithATextAndKeepThePicture) {
    struct Case {
        const char* name;
        BmpBuilder file;
        const char* error;
    };
    auto header = [](std::int32_t w, std::int32_t h, int bits, std::uint32_t comp = BI_RGB) {
        BmpBuilder b;
        b.InfoHeader(w, h, bits, comp).GreyPalette(256).U8({0, 0, 0, 0});
        return b;
    };
    BmpBuilder zeroMask;
    zeroMask.InfoHeader(1, 1, 16, BI_BITFIELDS).U32(0).U32(0x3E0).U32(0x1F).U32(0);
    BmpBuilder wideMask;
    wideMask.InfoHeader(1, 1, 16, BI_BITFIELDS).U32(0x1F0000).U32(0x3E0).U32(0x1F).U32(0);
    BmpBuilder offsetPastEnd;
    offsetPastEnd.FileHeader(5000).InfoHeader(1, 1, 24).U32(0);
    BmpBuilder tiny;
    tiny.U8({'B', 'M', 0});
    BmpBuilder oddHeader;
    oddHeader.U32(13).U32(1).U32(1).U32(0).U32(0).U32(0);
    Case cases[] = {
        {"min height", header(2, INT32_MIN, 8), "Invalid BMP dimensions"},
        {"zero width", header(0, 2, 8), "Invalid BMP dimensions"},
        {"negative width", header(-4, 2, 8), "Invalid BMP dimensions"},
        {"zero height", header(4, 0, 8), "Invalid BMP dimensions"},
        {"rle8 on 4 bits", header(2, 2, 4, BI_RLE8), "compression type not supported"},
        {"rle4 on 8 bits", header(2, 2, 8, BI_RLE4), "compression type not supported"},
        {"bitfields on 8 bits", header(2, 2, 8, BI_BITFIELDS), "compression type not supported"},
        {"rle on 24 bits", header(2, 2, 24, BI_RLE8), "unknown compression"},
        {"jpeg on 32 bits", header(2, 2, 32, 4), "unknown compression"},
        {"bit count 7", header(2, 2, 7), "Unsupported BMP bit count"},
        {"huge and short", header(30000, 30000, 8), "BMP file too short for its dimensions"},
        {"beyond the cap", header(0x7FFFFFFF, 0x7FFFFFFF, 24),
         "BMP file too short for its dimensions"},
        {"zero mask", zeroMask, "Invalid BMP bit-field masks"},
        {"mask wider than the pixel", wideMask, "Invalid BMP bit-field masks"},
        {"pixel offset past the end", offsetPastEnd,
         "BMP pixel data lies past the end of the file"},
        {"too short", tiny, "Not a BMP"},
        {"odd header size", oddHeader, "Error reading BMP info"},
    };
    for (Case& c : cases) {
        PxImage image(3, 3, 24);
        image.SetPixelColor(1, 1, RGB(1, 2, 3));
        EXPECT_FALSE(DecodeBmp(image, c.file)) << c.name;
        EXPECT_STREQ(image.GetLastError(), c.error) << c.name;
        EXPECT_EQ(image.GetWidth(), 3u) << c.name;
        EXPECT_EQ(image.GetPixelColor(1, 1).rgbGreen, 2) << c.name;
    }
}

TEST(BmpEncode, WritesTheBlockBehindAFileHeader) {
    PxImage image(10, 10, 4);
    image.Clear(0x21);
    image.SetPaletteIndex(1, RGB(255, 0, 0));
    BYTE* buffer = nullptr;
    LONG size = 0;
    ASSERT_TRUE(image.Encode(buffer, size, PX_FORMAT_BMP));
    ASSERT_EQ(size, 14 + 40 + 64 + 80);
    EXPECT_EQ(buffer[0], 'B');
    EXPECT_EQ(buffer[10], 118);
    EXPECT_EQ(buffer[2], 198);
    EXPECT_EQ(std::memcmp(buffer + 14, image.GetDIB(), static_cast<std::size_t>(image.GetSize())),
              0);
    PxImage back;
    ASSERT_TRUE(back.Decode(buffer, static_cast<DWORD>(size), PX_FORMAT_BMP));
    std::free(buffer);
    EXPECT_EQ(back.GetPixelIndex(9, 9), 1);
    EXPECT_EQ(back.GetPixelColor(0, 0).rgbRed, 0);
    EXPECT_EQ(back.GetPixelColor(1, 0).rgbRed, 255);
}

TEST(BmpEncode, RoundTripsEveryDepthAndResolution) {
    for (int bpp : {1, 4, 8, 24}) {
        PxImage image(13, 5, static_cast<DWORD>(bpp));
        image.SetGrayPalette();
        for (LONG y = 0; y < 5; ++y)
            for (LONG x = 0; x < 13; ++x)
                image.SetPixelColor(x, y, RGB(x * 19, y * 50, x ^ y));
        image.SetXDPI(300);
        BYTE* buffer = nullptr;
        LONG size = 0;
        ASSERT_TRUE(image.Encode(buffer, size, PX_FORMAT_BMP));
        PxImage back;
        ASSERT_TRUE(back.Decode(buffer, static_cast<DWORD>(size), PX_FORMAT_BMP)) << bpp;
        std::free(buffer);
        EXPECT_EQ(back.GetBpp(), bpp);
        EXPECT_EQ(back.GetXDPI(), 300);
        EXPECT_EQ(
            std::memcmp(back.GetDIB(), image.GetDIB(), static_cast<std::size_t>(image.GetSize())),
            0)
            << bpp;
    }
}

TEST(BmpEncode, RefusesNullStreamsAndInvalidImages) {
    PxImage empty;
    PxMemFile file;
    ASSERT_TRUE(file.Open());
    EXPECT_FALSE(empty.Encode(&file, PX_FORMAT_BMP));
    EXPECT_STREQ(empty.GetLastError(), "Invalid image");
    PxImage image(1, 1, 24);
    EXPECT_FALSE(image.Encode(static_cast<PxFile*>(nullptr), PX_FORMAT_BMP));
}
