#include "imaging/px_jpeg_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/px_encode_bytes.h"
#include "imaging/px_image.h"
#include "imaging/px_mem_file.h"
#include "support/jpeg_reference.h"

namespace {

bool DecodeJpeg(PxImage& image, std::vector<unsigned char>& bytes) {
    return image.Decode(bytes.data(), static_cast<DWORD>(bytes.size()), PX_FORMAT_JPG);
}

std::vector<unsigned char> EncodeJpeg(PxImage& image) {
    return EncodeToBytes(image, PX_FORMAT_JPG);
}

JpegPicture Solid(int components, std::initializer_list<unsigned char> pixel) {
    JpegPicture p;
    p.width = 16;
    p.height = 8;
    p.components = components;
    for (int i = 0; i < p.width * p.height; ++i)
        p.samples.insert(p.samples.end(), pixel);
    return p;
}

class FullDisk : public PxMemFile {
public:
    std::size_t Write(const void*, std::size_t, std::size_t) override { return 0; }
};

}  // namespace

// A photo-like picture, smooth ramps with an edge in brightness, at quality 95:
// every channel of every pixel within 4, and the mean difference below 1. (This
// picture measures 3 and 0.49; colour edges lose more to the halved chroma.)
TEST(JpegRoundTrip, RgbAtQuality95StaysWithinTolerance) {
    PxImage image(64, 48, 24);
    for (LONG y = 0; y < 48; ++y) {
        for (LONG x = 0; x < 64; ++x) {
            const int step = x < 32 ? 0 : 40;  // an edge in brightness only
            image.SetPixelColor(x, y, RGB(x * 3 + step, y * 4 + step, 40 + x + y * 2 + step));
        }
    }
    image.SetJpegQuality(95);
    auto bytes = EncodeJpeg(image);
    PxImage back;
    ASSERT_TRUE(DecodeJpeg(back, bytes)) << back.GetLastError();
    ASSERT_EQ(back.GetBpp(), 24);
    int largest = 0;
    long total = 0;
    for (LONG y = 0; y < 48; ++y) {
        for (LONG x = 0; x < 64; ++x) {
            const RGBQUAD a = image.GetPixelColor(x, y), b = back.GetPixelColor(x, y);
            for (int d : {a.rgbRed - b.rgbRed, a.rgbGreen - b.rgbGreen, a.rgbBlue - b.rgbBlue}) {
                largest = std::max(largest, std::abs(d));
                total += std::abs(d);
            }
        }
    }
    EXPECT_LE(largest, 4);
    EXPECT_LT(total, 64 * 48 * 3);
}

TEST(JpegRoundTrip, QualityAndResolutionReachTheFile) {
    PxImage image(32, 32, 24);
    for (LONG y = 0; y < 32; ++y)
        for (LONG x = 0; x < 32; ++x)
            image.SetPixelColor(x, y, RGB((x * 37) & 255, (y * 91) & 255, (x * y) & 255));
    image.SetXDPI(150);
    image.SetYDPI(300);
    image.SetJpegQuality(20);
    auto rough = EncodeJpeg(image);
    image.SetJpegQuality(98);
    auto fine = EncodeJpeg(image);
    EXPECT_LT(rough.size(), fine.size());
    const auto ref = DecodeJpegDirectly(fine);
    ASSERT_TRUE(ref.has_value());
    EXPECT_EQ(ref->densityUnit, 1);
    EXPECT_EQ(ref->xDensity, 150);
    EXPECT_EQ(ref->yDensity, 300);
}

TEST(JpegEncode, OnlyGreyRampPalettesAreWrittenAsOneComponent) {
    PxImage grey(8, 8, 8);
    grey.SetGrayPalette();
    for (LONG x = 0; x < 8; ++x)
        for (LONG y = 0; y < 8; ++y)
            grey.SetPixelIndex(x, y, static_cast<BYTE>(x * 30));
    auto bytes = EncodeJpeg(grey);
    const auto ref = DecodeJpegDirectly(bytes);
    ASSERT_TRUE(ref.has_value());
    EXPECT_EQ(ref->components, 1);
    PxImage back;
    ASSERT_TRUE(DecodeJpeg(back, bytes)) << back.GetLastError();
    EXPECT_EQ(back.GetBpp(), 8);
    EXPECT_TRUE(back.IsGrayScale());
    EXPECT_NEAR(back.GetPixelIndex(7, 3), 210, 2);

    PxImage coloured(8, 8, 8);
    coloured.SetGrayPalette();
    coloured.SetPaletteIndex(3, 255, 0, 0);
    BYTE* out = nullptr;
    LONG size = 0;
    EXPECT_FALSE(coloured.Encode(out, size, PX_FORMAT_JPG));
    EXPECT_STREQ(coloured.GetLastError(), "JPEG can save only RGB or GreyScale images");

    // Entries (i, i, i) on a 4-bit picture are not a byte a pixel: refused too.
    PxImage nibbles(40, 4, 4);
    for (BYTE i = 0; i < 16; ++i)
        nibbles.SetPaletteIndex(i, i, i, i);
    EXPECT_FALSE(nibbles.Encode(out, size, PX_FORMAT_JPG));
    EXPECT_STREQ(nibbles.GetLastError(), "JPEG can save only RGB or GreyScale images");
}

TEST(JpegDecode, DotsPerCentimetreBecomeDotsPerInch) {
    JpegPicture p = Solid(3, {10, 20, 30});
    p.densityUnit = 2;
    p.xDensity = 100;
    p.yDensity = 40;
    auto metric = WriteJpegDirectly(p, JCS_RGB);
    PxImage image;
    ASSERT_TRUE(DecodeJpeg(image, metric)) << image.GetLastError();
    EXPECT_EQ(image.GetXDPI(), 254);
    EXPECT_EQ(image.GetYDPI(), 101);

    p.densityUnit = 1;
    p.xDensity = 300;
    auto inches = WriteJpegDirectly(p, JCS_RGB);
    ASSERT_TRUE(DecodeJpeg(image, inches)) << image.GetLastError();
    EXPECT_EQ(image.GetXDPI(), 300);
}

TEST(JpegDecode, CmykIsMixedDownByTheBlackSample) {
    JpegPicture p = Solid(4, {200, 100, 50, 128});
    auto bytes = WriteJpegDirectly(p, JCS_CMYK, 100);
    const auto ref = DecodeJpegDirectly(bytes);
    ASSERT_TRUE(ref.has_value());
    ASSERT_EQ(ref->components, 4);
    PxImage image;
    ASSERT_TRUE(DecodeJpeg(image, bytes)) << image.GetLastError();
    EXPECT_EQ(image.GetBpp(), 24);
    const unsigned char* s = ref->samples.data();  // top-left pixel
    const RGBQUAD c = image.GetPixelColor(0, 7);
    EXPECT_EQ(c.rgbRed, s[0] * s[3] / 255);
    EXPECT_EQ(c.rgbGreen, s[1] * s[3] / 255);
    EXPECT_EQ(c.rgbBlue, s[2] * s[3] / 255);
}

TEST(JpegCodec, LibraryErrorsBecomeTheLastError) {
    PxImage image(3, 3, 24);
    std::vector<unsigned char> empty;
    EXPECT_FALSE(DecodeJpeg(image, empty));
    EXPECT_STREQ(image.GetLastError(), "Empty input file");
    std::vector<unsigned char> junk(64, 'x');
    EXPECT_FALSE(DecodeJpeg(image, junk));
    EXPECT_NE(std::string(image.GetLastError()).find("Not a JPEG file"), std::string::npos);
    EXPECT_EQ(image.GetWidth(), 3u);

    FullDisk disk;
    disk.Open();
    EXPECT_FALSE(image.Encode(&disk, PX_FORMAT_JPG));
    EXPECT_NE(std::string(image.GetLastError()).find("write"), std::string::npos)
        << image.GetLastError();
}
