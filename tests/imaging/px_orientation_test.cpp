// EXIF orientation read by the JPEG and PNG decoders and applied by the load
// option `upright`, checked against ImageMagick's -auto-orient; and damaged EXIF
// blocks, which must leave the picture as stored.
#include <gtest/gtest.h>

#include <string>

#include "imaging/px_exif.h"
#include "imaging/px_image.h"
#include "imaging/support/metadata_splice.h"
#include "imaging/support/picture_tools.h"

namespace {

// ImageMagick's names of the orientations 1 to 8.
const char* const kOrientNames[] = {"",           "TopLeft", "TopRight", "BottomRight",
                                    "BottomLeft", "LeftTop", "RightTop", "RightBottom",
                                    "LeftBottom"};

// 7 x 5, no two pixels alike and the corners far apart, so every turn and mirror
// shows. Flat 2 x 2 patches would not survive JPEG; the colours change slowly
// enough that the block transform keeps them apart.
PxImage AsymmetricPicture(bool withAlpha = false) {
    PxImage image;
    image.Create(7, 5, 24, PX_FORMAT_PNG);
    if (withAlpha) image.AlphaCreate();
    for (LONG y = 0; y < 5; ++y) {
        for (LONG x = 0; x < 7; ++x) {
            // y counts from the bottom row.
            const RGBQUAD c{static_cast<BYTE>(40 * y), static_cast<BYTE>(20 + 30 * x),
                            static_cast<BYTE>(250 - 20 * x - 25 * y), 0};
            image.SetPixelColor(x, y, c);
            if (withAlpha) image.AlphaSet(x, y, static_cast<BYTE>(10 + 7 * x + 50 * y));
        }
    }
    return image;
}

Bytes PngWithOrientation(int orientation, bool withAlpha = false) {
    PxImage picture = AsymmetricPicture(withAlpha);
    return InsertPngChunk(EncodeToBytes(picture, PX_FORMAT_PNG), "eXIf",
                          ExifWithOrientation(orientation, orientation % 2 == 0));
}

Bytes JpegWithExif(const Bytes& exif) {
    PxImage picture = AsymmetricPicture();
    picture.SetJpegQuality(100);
    return InsertJpegSegments(EncodeToBytes(picture, PX_FORMAT_JPG), 0xE1, {WithExifHeader(exif)});
}

RgbPicture Decoded(const Bytes& file, DWORD type, const PxLoadOptions& options) {
    PxImage image;
    EXPECT_TRUE(DecodeBytes(file, type, options, image)) << image.GetLastError();
    return ToRgb(image);
}

PxLoadOptions Upright() {
    PxLoadOptions options;
    options.upright = true;
    return options;
}

// Top row first, one byte per pixel.
std::vector<BYTE> AlphaRows(const PxImage& image) {
    std::vector<BYTE> out;
    for (LONG y = static_cast<LONG>(image.GetHeight()) - 1; y >= 0; --y)
        for (LONG x = 0; x < static_cast<LONG>(image.GetWidth()); ++x)
            out.push_back(image.AlphaGet(x, y));
    return out;
}

}  // namespace

// The PNG reference: ImageMagick does not read eXIf, so it is told the
// orientation of the stored picture and turns that.
TEST(PxOrientation, PngExifMatchesImageMagick) {
    if (ImageMagickConvert().empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    TempFolder folder;
    PxImage picture = AsymmetricPicture();
    const std::string stored = folder.File("stored.png");
    ASSERT_TRUE(WriteBytes(stored, EncodeToBytes(picture, PX_FORMAT_PNG)));
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(std::string("orientation ").append(std::to_string(orientation)));
        const auto expected = ImageMagickRgb(
            stored, std::string("-orient ") + kOrientNames[orientation] + " -auto-orient");
        ASSERT_TRUE(expected);
        const RgbPicture got = Decoded(PngWithOrientation(orientation), PX_FORMAT_PNG, Upright());
        EXPECT_EQ(got.width, expected->width);
        EXPECT_EQ(got.height, expected->height);
        EXPECT_EQ(got.rgb, expected->rgb);
    }
}

TEST(PxOrientation, JpegExifMatchesImageMagick) {
    if (ImageMagickConvert().empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    TempFolder folder;
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(std::string("orientation ").append(std::to_string(orientation)));
        const Bytes file = JpegWithExif(ExifWithOrientation(orientation, orientation < 5));
        const std::string name =
            folder.File(std::string("o").append(std::to_string(orientation)).append(".jpg"));
        ASSERT_TRUE(WriteBytes(name, file));
        const auto expected = ImageMagickRgb(name, "-auto-orient");
        ASSERT_TRUE(expected);
        const RgbPicture got = Decoded(file, PX_FORMAT_JPG, Upright());
        EXPECT_LE(MaxDifference(got, *expected), 2);
    }
}

// Without the option the stored pixels come back, whatever the file declares;
// with it, the alpha plane turns with the colours.
TEST(PxOrientation, UprightOffKeepsStoredPixelsAndAlphaFollows) {
    PxImage stored = AsymmetricPicture(true);
    const Bytes plain = EncodeToBytes(stored, PX_FORMAT_PNG);
    PxImage plainDecoded;
    ASSERT_TRUE(DecodeBytes(plain, PX_FORMAT_PNG, {}, plainDecoded));
    for (int orientation = 2; orientation <= 8; ++orientation) {
        SCOPED_TRACE(std::string("orientation ").append(std::to_string(orientation)));
        const Bytes png = PngWithOrientation(orientation, true);
        PxImage asStored;
        ASSERT_TRUE(DecodeBytes(png, PX_FORMAT_PNG, {}, asStored));
        EXPECT_EQ(ToRgb(asStored).rgb, ToRgb(plainDecoded).rgb);
        EXPECT_EQ(AlphaRows(asStored), AlphaRows(plainDecoded));

        PxImage turned;
        ASSERT_TRUE(DecodeBytes(png, PX_FORMAT_PNG, Upright(), turned));
        PxImage expected(plainDecoded);
        ASSERT_TRUE(expected.TurnUpright(orientation));
        EXPECT_EQ(ToRgb(turned).rgb, ToRgb(expected).rgb);
        ASSERT_TRUE(turned.HasAlpha());
        EXPECT_EQ(AlphaRows(turned), AlphaRows(expected));

        const Bytes jpeg = JpegWithExif(ExifWithOrientation(orientation));
        const Bytes plainJpeg = JpegWithExif(ExifWithOrientation(1));
        EXPECT_EQ(Decoded(jpeg, PX_FORMAT_JPG, {}).rgb, Decoded(plainJpeg, PX_FORMAT_JPG, {}).rgb);
    }
}

// Thumbnails: the reduced decode turns the reduced picture.
TEST(PxOrientation, ReducedJpegIsTurnedToo) {
    PxImage big;
    big.Create(64, 32, 24, PX_FORMAT_JPG);
    for (LONG y = 0; y < 32; ++y)
        for (LONG x = 0; x < 64; ++x)
            big.SetPixelColor(x, y,
                              RGBQUAD{static_cast<BYTE>(4 * x), static_cast<BYTE>(8 * y), 0, 0});
    const Bytes jpeg = InsertJpegSegments(EncodeToBytes(big, PX_FORMAT_JPG), 0xE1,
                                          {WithExifHeader(ExifWithOrientation(6))});
    PxLoadOptions options = Upright();
    options.minimumLongerSide = 16;
    PxImage small;
    ASSERT_TRUE(DecodeBytes(jpeg, PX_FORMAT_JPG, options, small));
    EXPECT_EQ(small.GetWidth(), 8u);
    EXPECT_EQ(small.GetHeight(), 16u);
}

namespace {

// Whether the decoders, asked for upright pictures, leave them as stored.
bool JpegStaysAsStored(const Bytes& exif) {
    const Bytes jpeg = JpegWithExif(exif);
    return Decoded(jpeg, PX_FORMAT_JPG, Upright()).rgb == Decoded(jpeg, PX_FORMAT_JPG, {}).rgb;
}

bool PngStaysAsStored(const Bytes& exif) {
    PxImage picture = AsymmetricPicture();
    const Bytes png = InsertPngChunk(EncodeToBytes(picture, PX_FORMAT_PNG), "eXIf", exif);
    return Decoded(png, PX_FORMAT_PNG, Upright()).rgb == Decoded(png, PX_FORMAT_PNG, {}).rgb;
}

struct DamagedExif {
    const char* what;
    Bytes block;
};

std::vector<DamagedExif> DamagedBlocks() {
    std::vector<DamagedExif> cases;
    {  // IFD0 points at itself as its Exif sub-IFD and as the next IFD.
        ExifWriter w;
        w.Short(1);
        w.Entry(0x8769, 4, 1, 8);
        w.Long(8);
        cases.push_back({"IFD loop", w.bytes()});
    }
    {  // The Exif sub-IFD points back at IFD0.
        ExifWriter w;
        w.Short(1);
        w.Entry(0x8769, 4, 1, 26);
        w.Long(0);
        w.Short(1);
        w.Entry(0x8769, 4, 1, 8);
        w.Long(8);
        cases.push_back({"sub-IFD loop", w.bytes()});
    }
    {
        ExifWriter w;
        w.bytes().resize(4);
        w.Long(0xFFFFFF00u);
        cases.push_back({"IFD0 past the end", w.bytes()});
    }
    {  // Three SHORTs do not fit the entry: their offset is far outside.
        ExifWriter w;
        w.Short(1);
        w.Entry(0x0112, 3, 3, 0x7FFFFFF0u);
        w.Long(0);
        cases.push_back({"value past the end", w.bytes()});
    }
    {
        ExifWriter w;
        w.Short(0xFFFF);
        w.Entry(0x0112, 3, 1, 6);
        w.Long(0);
        cases.push_back({"absurd entry count", w.bytes()});
    }
    {
        ExifWriter w;
        w.Short(1);
        w.Entry(0x0112, 3, 0xFFFFFFFFu, 6);
        w.Long(0);
        cases.push_back({"absurd component count", w.bytes()});
    }
    {
        ExifWriter w;
        w.Short(1);
        w.Entry(0x0112, 4, 1, 6);
        w.Long(0);
        cases.push_back({"orientation as LONG", w.bytes()});
    }
    cases.push_back({"orientation 0", ExifWithOrientation(0)});
    cases.push_back({"orientation 9", ExifWithOrientation(9)});
    cases.push_back({"not TIFF", Bytes{'X', 'X', 0, 42, 0, 0, 0, 8, 0, 0}});
    // Cut before the orientation entry is whole.
    const Bytes whole = ExifWithOrientation(6);
    for (std::size_t n = 0; n < 22; ++n)
        cases.push_back({"truncated", Bytes(whole.begin(), whole.begin() + static_cast<long>(n))});
    return cases;
}

}  // namespace

TEST(PxExifOrientation, DamagedBlocksGiveAsStored) {
    for (const DamagedExif& c : DamagedBlocks()) {
        SCOPED_TRACE(std::string(c.what) + ", " + std::to_string(c.block.size()) + " bytes");
        EXPECT_EQ(PxExifOrientation(c.block.data(), c.block.size()), 1);
        const Bytes headed = WithExifHeader(c.block);
        EXPECT_EQ(PxExifOrientation(headed.data(), headed.size()), 1);
        EXPECT_TRUE(JpegStaysAsStored(c.block));
        EXPECT_TRUE(PngStaysAsStored(c.block));
    }
}

TEST(PxExifOrientation, ReadsEitherByteOrderWithOrWithoutHeader) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
        for (bool big : {true, false}) {
            const Bytes tiff = ExifWithOrientation(orientation, big);
            EXPECT_EQ(PxExifOrientation(tiff.data(), tiff.size()), orientation);
            const Bytes headed = WithExifHeader(tiff);
            EXPECT_EQ(PxExifOrientation(headed.data(), headed.size()), orientation);
        }
    }
}

// A PNG's eXIf is read up to the chunk cap (1 MB); a larger one is passed over.
TEST(PxExifOrientation, PngExifPastTheCapIsPassedOver) {
    Bytes padded = ExifWithOrientation(6);
    padded.resize(1000);
    EXPECT_FALSE(PngStaysAsStored(padded));
    padded.resize((1u << 20) + 1);
    EXPECT_TRUE(PngStaysAsStored(padded));
}
