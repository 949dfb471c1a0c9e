// The wizard's pictures of today: phone photos stored sideways, WebP, HEIC and
// TIFF files, and files whose names lie about their format, as the editor and
// the thumbnail list read them.
#include <gtest/gtest.h>

#include <fstream>

#include "imaging/support/metadata_splice.h"
#include "imaging/support/tool_pictures.h"
#include "stamp/picture.h"
#include "stamp/thumbnail_picture.h"
#include "stamp_support.h"

using namespace stamp_test;

namespace {

constexpr RGBQUAD kRed{0, 0, 255, 0};

// 60 x 40 as stored, a red block in its top-left corner.
PxImage StoredLandscape() {
    PxImage image = Filled(60, 40, RGBQUAD{200, 200, 200, 0});
    for (LONG y = 30; y < 40; ++y)
        for (LONG x = 0; x < 12; ++x)
            image.SetPixelColor(x, y, kRed);
    return image;
}

// A camera's portrait photo: the stored landscape with EXIF orientation 6.
std::string PortraitJpeg(const ScratchFolder& folder) {
    PxImage stored = StoredLandscape();
    BYTE* jpeg = nullptr;
    LONG size = 0;
    EXPECT_TRUE(stored.Encode(jpeg, size, PX_FORMAT_JPG));
    const Bytes plain(jpeg, jpeg + size);
    std::free(jpeg);
    const Bytes oriented =
        InsertJpegSegments(plain, 0xE1, {WithExifHeader(ExifWithOrientation(6))});
    const std::string path = folder / "portrait.jpg";
    toolpic::WriteBytes(path, oriented);
    return path;
}

bool Reddish(RGBQUAD c) {
    return c.rgbRed > 200 && c.rgbGreen < 60 && c.rgbBlue < 60;
}

// The formats only their own tools write, made from one PNG of ours; names of
// those that could not be made are left out.
std::vector<std::string> ToolPictures(const ScratchFolder& folder) {
    PxImage source = toolpic::Source(48, 32, false);
    const std::string png = folder / "source.png";
    EXPECT_TRUE(toolpic::SavePng(source, png));
    std::vector<std::string> made;
    const auto make = [&](const char* tool, const std::string& command, const char* name) {
        if (toolpic::HaveTool(tool) && toolpic::RunTool(command)) made.push_back(folder / name);
    };
    make("cwebp", "cwebp -quiet -lossless '" + png + "' -o '" + folder / "web.webp" + "'",
         "web.webp");
    make("heif-enc", "heif-enc -q 90 '" + png + "' -o '" + folder / "phone.heic" + "'",
         "phone.heic");
    make("convert", "convert '" + png + "' '" + folder / "scan.tiff" + "'", "scan.tiff");
    return made;
}

}  // namespace

TEST(PictureFormats, APortraitPhotoOpensUprightUnlessAskedForTheStoredPixels) {
    ScratchFolder folder;
    const std::string path = PortraitJpeg(folder);
    CPicture picture;
    ASSERT_TRUE(picture.Open(path, kAcceptAll, 0));
    ASSERT_EQ(picture.GetWidth(), 40u);
    ASSERT_EQ(picture.GetHeight(), 60u);
    // Turned a quarter clockwise: the stored top-left corner is now the top right.
    EXPECT_TRUE(Reddish(picture.image->GetPixelColor(36, 57)));
    EXPECT_FALSE(Reddish(picture.image->GetPixelColor(3, 57)));

    CPicture stored;
    ASSERT_TRUE(stored.Open(path, kAcceptAll, 0, PxLoadOptions{}));
    EXPECT_EQ(stored.GetWidth(), 60u);
    EXPECT_TRUE(Reddish(stored.image->GetPixelColor(3, 37)));

    // The list shows it upright too, from the reduced decode.
    PxImage thumbnail;
    ASSERT_EQ(LoadThumbnailPicture(path, thumbnail), PX_FORMAT_JPG);
    EXPECT_LT(thumbnail.GetWidth(), thumbnail.GetHeight());
}

TEST(PictureFormats, WebpHeicAndTiffOpenInTheEditorAndTheList) {
    ScratchFolder folder;
    const std::vector<std::string> files = ToolPictures(folder);
    if (files.empty()) GTEST_SKIP() << "cwebp, heif-enc and convert are all missing";
    LibraryMessages messages;
    for (const std::string& file : files) {
        CPicture picture;
        ASSERT_TRUE(picture.Open(file, kAcceptAll, 0)) << file;
        EXPECT_EQ(picture.GetWidth(), 48u) << file;
        EXPECT_EQ(picture.GetHeight(), 32u) << file;
        // Each type answers to its own bit of the mask.
        EXPECT_FALSE(picture.Open(file, kAcceptJpeg | kAcceptPng | kAcceptBmp | kAcceptGif, 0));

        PxImage thumbnail;
        const int code = LoadThumbnailPicture(file, thumbnail);
        EXPECT_NE(code, PX_FORMAT_PNG) << file << " gave the placeholder";
        EXPECT_EQ(thumbnail.GetWidth(), 48u) << file;
    }
    ASSERT_EQ(messages.texts().size(), files.size());
    for (const std::string& text : messages.texts())
        EXPECT_NE(text.find("format is not supported by this operation"), std::string::npos)
            << text;
}

TEST(PictureFormats, AFileOpensByItsContentsWhenItsNameSaysAnotherFormat) {
    ScratchFolder folder;
    PxImage picture = Gradient(20, 10);
    ASSERT_TRUE(picture.Save((folder / "download.jpg").c_str(), PX_FORMAT_PNG));
    ASSERT_TRUE(picture.Save((folder / "scan.png").c_str(), PX_FORMAT_BMP));
    LibraryMessages messages;
    CPicture holder;
    ASSERT_TRUE(holder.Open(folder / "download.jpg", kAcceptAll, 0));
    EXPECT_EQ(holder.formatCode, PX_FORMAT_PNG);
    EXPECT_EQ(holder.image->GetPixelColor(3, 9).rgbRed, 24);
    ASSERT_TRUE(holder.Open(folder / "scan.png", kAcceptAll, 0));
    EXPECT_EQ(holder.formatCode, PX_FORMAT_BMP);
    PxImage thumbnail;
    EXPECT_EQ(LoadThumbnailPicture(folder / "download.jpg", thumbnail), PX_FORMAT_PNG);
    EXPECT_EQ(thumbnail.GetWidth(), 20u);
    EXPECT_TRUE(messages.texts().empty());

    // Contents of no known format keep the message their name's decoder gives.
    std::ofstream(folder / "notes.png") << "just some text, long enough to look at";
    EXPECT_FALSE(holder.Open(folder / "notes.png", kAcceptAll, 0));
    ASSERT_EQ(messages.texts().size(), 2u);
    EXPECT_EQ(messages.texts()[0], "Not a PNG file");
}
