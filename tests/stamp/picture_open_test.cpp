#include <gtest/gtest.h>

#include <cstdio>

#include "stamp/picture.h"
#include "stamp_support.h"

using namespace stamp_test;

namespace {

// A GIF of `frames` 8 x 8 frames in the library's palette.
void WriteGif(const std::string& file, int frames) {
    std::vector<PxImage> pictures;
    for (int i = 0; i < frames; ++i) {
        pictures.push_back(Filled(8, 8, RGBQUAD{0, static_cast<BYTE>(60 * i), 255, 0}));
        pictures.back().DecreaseBpp(8, false);
    }
    std::vector<PxImage*> list;
    for (PxImage& p : pictures)
        list.push_back(&p);
    std::FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_TRUE(out);
    if (frames == 1)
        ASSERT_TRUE(list[0]->Encode(out, PX_FORMAT_GIF));
    else
        ASSERT_TRUE(list[0]->Encode(out, list.data(), frames, PX_FORMAT_GIF));
    std::fclose(out);
}

}  // namespace

TEST(ExtensionOf, IsTheTextAfterTheLastDotOfTheWholePath) {
    EXPECT_EQ(ExtensionOf("/home/u/PHOTO.JPEG"), "JPEG");
    EXPECT_EQ(ExtensionOf("archive.tar.gif"), "gif");
    EXPECT_EQ(ExtensionOf("/my.pictures/sunset"), "pictures/sunset");
    EXPECT_EQ(ExtensionOf("/pictures/sunset"), "");
    EXPECT_EQ(ExtensionOf("name."), "");
}

TEST(PictureOpen, ChoosesTheFormatByExtensionInAnyLetterCase) {
    ScratchFolder folder;
    PxImage jpeg = Gradient(20, 10);
    for (const char* name : {"PHOTO.JPEG", "photo.Jpe", "photo.jpg"})
        ASSERT_TRUE(jpeg.Save((folder / name).c_str(), PX_FORMAT_JPG));
    ASSERT_TRUE(jpeg.Save((folder / "archive.tar.gif").c_str(), PX_FORMAT_GIF));
    LibraryMessages messages;
    CPicture picture;
    for (const char* name : {"PHOTO.JPEG", "photo.Jpe", "photo.jpg"}) {
        ASSERT_TRUE(picture.Open(folder / name, kAcceptAll, 0)) << name;
        EXPECT_EQ(picture.formatCode, PX_FORMAT_JPG);
        EXPECT_EQ(picture.image->GetType(), DWORD{PX_FORMAT_JPG});
        EXPECT_EQ(picture.GetWidth(), 20u);
        EXPECT_EQ(picture.path, folder / name);
    }
    ASSERT_TRUE(picture.Open(folder / "archive.tar.gif", kAcceptAll, 0));
    EXPECT_EQ(picture.formatCode, PX_FORMAT_GIF);
    EXPECT_TRUE(messages.texts().empty());
}

TEST(PictureOpen, UnknownOrMissingExtensionKeepsThePictureSilently) {
    ScratchFolder folder;
    fs::create_directories(folder.path() / "my.pictures");
    PxImage picture = Gradient(6, 6);
    ASSERT_TRUE(picture.Save((folder / "my.pictures/sunset").c_str(), PX_FORMAT_BMP));
    ASSERT_TRUE(picture.Save((folder / "keep.bmp").c_str(), PX_FORMAT_BMP));
    LibraryMessages messages;
    CPicture holder;
    ASSERT_TRUE(holder.Open(folder / "keep.bmp", kAcceptAll, 0));
    const PxImage* kept = holder.image.get();
    EXPECT_FALSE(holder.Open(folder / "my.pictures/sunset", kAcceptAll, 0));
    EXPECT_FALSE(holder.Open("/no/dot/here", kAcceptAll, 0));
    EXPECT_FALSE(holder.Open(folder / "notes.txt", kAcceptAll, 0));
    EXPECT_EQ(holder.image.get(), kept);
    EXPECT_EQ(holder.formatCode, PX_FORMAT_BMP);
    EXPECT_TRUE(messages.texts().empty());
}

TEST(PictureOpen, TheMaskDecidesBetweenStillAndAnimatedGifs) {
    ScratchFolder folder;
    WriteGif(folder / "one.gif", 1);
    WriteGif(folder / "three.gif", 3);
    LibraryMessages messages;
    CPicture picture;
    EXPECT_TRUE(picture.Open(folder / "one.gif", kAcceptBmp, 0));
    EXPECT_TRUE(picture.Open(folder / "one.gif", kAcceptGif, 0));
    EXPECT_TRUE(picture.Open(folder / "three.gif", kAcceptGif, 0));
    EXPECT_EQ(picture.image->GetNumFrames(), 3);
    EXPECT_TRUE(messages.texts().empty());

    EXPECT_FALSE(picture.Open(folder / "three.gif", kAcceptBmp, 0));
    EXPECT_FALSE(picture.image);
    EXPECT_FALSE(picture.Open(folder / "one.gif", kAcceptJpeg | kAcceptPng, 0));
    ASSERT_EQ(messages.texts().size(), 2u);
    EXPECT_EQ(messages.texts()[0], "The animated gif format is not supported by this operation");
    EXPECT_EQ(messages.texts()[1], "The gif format is not supported by this operation");
}

TEST(PictureOpen, AGifWithoutAFrameIsRefusedWhateverTheMask) {
    ScratchFolder folder;
    // Header, a 4 x 4 screen without colour table, and the trailer.
    const unsigned char bytes[] = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0, 0, 0, 0x3B};
    std::FILE* out = std::fopen((folder / "empty.gif").c_str(), "wb");
    ASSERT_TRUE(out);
    std::fwrite(bytes, 1, sizeof bytes, out);
    std::fclose(out);
    LibraryMessages messages;
    CPicture picture;
    EXPECT_FALSE(picture.Open(folder / "empty.gif", kAcceptAll, 0));
    EXPECT_FALSE(picture.image);
    // The library's own "Gif error" box comes first, with nothing to say.
    EXPECT_EQ(messages.texts(),
              (std::vector<std::string>{"", "This gif file doesn't have a frame"}));
}

TEST(PictureOpen, UnreadableFilesLeaveNoImageAndOneMessageEach) {
    ScratchFolder folder;
    std::FILE* out = std::fopen((folder / "broken.png").c_str(), "wb");
    ASSERT_TRUE(out);
    std::fputs("not a png at all", out);
    std::fclose(out);
    LibraryMessages messages;
    CPicture picture;
    EXPECT_FALSE(picture.Open(folder / "missing.bmp", kAcceptAll, 0));
    EXPECT_FALSE(picture.image);
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(messages.texts()[0], "File open error");
    EXPECT_FALSE(picture.Open(folder / "broken.png", kAcceptAll, 0));
    EXPECT_FALSE(picture.image);
    // The library's "Png error" box, then the picture's own with the same text.
    ASSERT_EQ(messages.texts().size(), 3u);
    EXPECT_FALSE(messages.texts()[1].empty());
    EXPECT_EQ(messages.texts()[2], messages.texts()[1]);
}

TEST(PictureOpen, AskedFrameOfAnAnimationIsDecoded) {
    ScratchFolder folder;
    WriteGif(folder / "three.gif", 3);
    CPicture picture;
    ASSERT_TRUE(picture.Open(folder / "three.gif", kAcceptGif, 2));
    PxImage first((folder / "three.gif").c_str(), PX_FORMAT_GIF);
    PxImage third;
    third.SetFrame(2);
    ASSERT_TRUE(third.Load((folder / "three.gif").c_str(), PX_FORMAT_GIF));
    EXPECT_EQ(picture.image->GetFrame(), 2);
    EXPECT_TRUE(SameRgb(picture.image->GetPixelColor(0, 0), third.GetPixelColor(0, 0)));
    EXPECT_FALSE(SameRgb(picture.image->GetPixelColor(0, 0), first.GetPixelColor(0, 0)));
}
