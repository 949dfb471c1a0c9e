// A JPEG shown small from its own EXIF thumbnail, and every way that thumbnail
// may fail to stand for the picture.
#include <gtest/gtest.h>

#include "imaging/px_jpeg_codec.h"
#include "imaging/support/metadata_splice.h"
#include "imaging/support/picture_tools.h"
#include "imaging/test_pictures.h"

namespace {

// Top half blue, bottom half green; `bright` tells the thumbnail from the photo.
PxImage Halves(DWORD w, DWORD h, bool bright) {
    const BYTE v = bright ? 255 : 110;
    PxImage image = testpic::Uniform24(w, h, RGBQUAD{0, v, 0, 0});
    for (LONG y = static_cast<LONG>(h / 2); y < static_cast<LONG>(h); ++y)
        for (LONG x = 0; x < static_cast<LONG>(w); ++x)
            image.SetPixelColor(x, y, RGBQUAD{v, 0, 0, 0});  // rows from the bottom: the top
    return image;
}

Bytes JpegOf(PxImage image) {
    return EncodeToBytes(image, PX_FORMAT_JPG);
}

// A 640 x 480 photo whose APP1 carries `thumbnail`.
Bytes Photo(const Bytes& thumbnail, int orientation = 1, ExifThumbnailPlace place = {}) {
    return InsertJpegSegments(JpegOf(Halves(640, 480, false)), 0xE1,
                              {WithExifHeader(ExifWithThumbnail(thumbnail, orientation, place))});
}

PxLoadOptions ThumbnailLoad(bool upright = true) {
    PxLoadOptions options;
    options.upright = upright;
    options.minimumLongerSide = 128;
    options.embeddedThumbnailSide = 96;
    return options;
}

bool FromThumbnail(const PxImage& image) {
    const RGBQUAD c = image.GetPixelColor(0, 0);
    return std::max({c.rgbRed, c.rgbGreen, c.rgbBlue}) > 200;
}

}  // namespace

TEST(PxJpegEmbedded, AFittingThumbnailIsShownTurnedLikeThePicture) {
    const Bytes thumbnail = JpegOf(Halves(160, 120, true));
    for (const int orientation : {1, 3, 6, 8}) {
        PxImage small, whole;
        ASSERT_TRUE(
            DecodeBytes(Photo(thumbnail, orientation), PX_FORMAT_JPG, ThumbnailLoad(), small));
        PxLoadOptions full = ThumbnailLoad();
        full.embeddedThumbnailSide = 0;
        ASSERT_TRUE(DecodeBytes(Photo(thumbnail, orientation), PX_FORMAT_JPG, full, whole));
        EXPECT_TRUE(FromThumbnail(small)) << orientation;
        EXPECT_FALSE(FromThumbnail(whole)) << orientation;
        // Same size as the reduced decode (1/4), and the same halves on the same sides.
        ASSERT_EQ(small.GetWidth(), whole.GetWidth()) << orientation;
        ASSERT_EQ(small.GetHeight(), whole.GetHeight()) << orientation;
        const LONG right = static_cast<LONG>(small.GetWidth()) - 4;
        const LONG top = static_cast<LONG>(small.GetHeight()) - 4;
        for (const auto& [x, y] :
             {std::pair<LONG, LONG>{4, 4}, std::pair<LONG, LONG>{right, top}}) {
            const RGBQUAD a = small.GetPixelColor(x, y), b = whole.GetPixelColor(x, y);
            EXPECT_EQ(a.rgbBlue > a.rgbGreen, b.rgbBlue > b.rgbGreen) << orientation;
        }
    }
    PxImage asStored;
    ASSERT_TRUE(DecodeBytes(Photo(thumbnail, 6), PX_FORMAT_JPG, ThumbnailLoad(false), asStored));
    EXPECT_EQ(asStored.GetWidth(), 160u);
}

TEST(PxJpegEmbedded, ThumbnailsThatDoNotStandForThePictureFallBack) {
    Bytes cut = JpegOf(Halves(160, 120, true));
    cut.resize(cut.size() / 2);
    Bytes noise(3000);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<unsigned char>(i * 37 + 11);
    noise[0] = 0xFF;
    noise[1] = 0xD8;
    const Bytes fitting = JpegOf(Halves(160, 120, true));
    const struct {
        const char* what;
        Bytes photo;
    } cases[] = {
        {"square", Photo(JpegOf(Halves(160, 160, true)))},
        {"3% off", Photo(JpegOf(Halves(160, 116, true)))},
        {"too small", Photo(JpegOf(Halves(80, 60, true)))},
        {"cut off", Photo(cut)},
        {"noise", Photo(noise)},
        {"offset outside", Photo(fitting, 1, {5000, 0})},
        {"length outside", Photo(fitting, 1, {0, 60000})},
    };
    for (const auto& c : cases) {
        PxImage image;
        ASSERT_TRUE(DecodeBytes(c.photo, PX_FORMAT_JPG, ThumbnailLoad(), image)) << c.what;
        EXPECT_FALSE(FromThumbnail(image)) << c.what;
        EXPECT_EQ(image.GetWidth(), 160u) << c.what;  // the reduced decode
    }
    PxImage plain;
    PxLoadOptions off = ThumbnailLoad();
    off.embeddedThumbnailSide = 0;
    ASSERT_TRUE(DecodeBytes(Photo(fitting), PX_FORMAT_JPG, off, plain));
    EXPECT_FALSE(FromThumbnail(plain));
}

TEST(PxJpegEmbedded, ProportionsWithinTwoPercent) {
    EXPECT_TRUE(PxThumbnailFits(160, 120, 4000, 3000, 96));
    EXPECT_TRUE(PxThumbnailFits(160, 120, 4000, 3050, 96));   // 1.6% off
    EXPECT_FALSE(PxThumbnailFits(160, 120, 4000, 3100, 96));  // 3.2% off
    EXPECT_FALSE(PxThumbnailFits(160, 120, 4000, 3000, 161));
    EXPECT_FALSE(PxThumbnailFits(160, 0, 4000, 3000, 96));
    EXPECT_FALSE(PxThumbnailFits(160, 120, 0, 3000, 96));
}

// Every cut of the file's head: the head reader never reads past what is there.
TEST(PxJpegEmbedded, CutHeadsNeverCrash) {
    const Bytes photo = Photo(JpegOf(Halves(160, 120, true)), 6);
    for (std::size_t size = 0; size < 2000 && size < photo.size(); size += 7) {
        const Bytes head(photo.begin(), photo.begin() + static_cast<std::ptrdiff_t>(size));
        PxImage image;
        DecodeBytes(head, PX_FORMAT_JPG, ThumbnailLoad(), image);
    }
}
