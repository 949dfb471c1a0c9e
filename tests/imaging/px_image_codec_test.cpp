#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "imaging/px_image.h"
#include "imaging/px_io_file.h"
#include "imaging/px_mem_file.h"
#include "imaging/px_message.h"
#include "support/bmp_builder.h"

namespace {

struct Box {
    std::string text, caption;
    UINT style;
};
std::vector<Box> g_boxes;

int RecordBox(const char* text, const char* caption, UINT style) {
    g_boxes.push_back({text, caption, style});
    return IDOK;
}

// Records the library's message boxes for one test.
class Dispatch : public ::testing::Test {
protected:
    void SetUp() override {
        g_boxes.clear();
        previous_ = PxSetMessageBoxHook(RecordBox);
    }
    void TearDown() override { PxSetMessageBoxHook(previous_); }

    static BmpBuilder TinyBmp() {
        BmpBuilder b;
        b.FileHeader(14 + 40).InfoHeader(1, 1, 24).U8({10, 20, 30, 0});
        return b;
    }

private:
    PxMessageBoxHook previous_ = nullptr;
};

std::filesystem::path TempPath(const std::string& name) {
    return std::filesystem::temp_directory_path() / ("pximage_" + std::to_string(getpid()) + name);
}

}  // namespace

TEST_F(Dispatch, UnknownTypesFailWithoutLookingAtTheData) {
    BmpBuilder bmp = TinyBmp();
    PxImage image;
    for (DWORD type : {0u, 8u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(image.Decode(bmp.data(), bmp.size(), type));
        EXPECT_STREQ(image.GetLastError(), "Unsupported operation for this format");
    }
    PxImage picture(1, 1, 24);
    PxMemFile out;
    ASSERT_TRUE(out.Open());
    EXPECT_FALSE(picture.Encode(&out, 9));
    EXPECT_STREQ(picture.GetLastError(), "Unsupported operation for this format");
    PxImage* frames[] = {&picture};
    EXPECT_FALSE(picture.Encode(&out, frames, 1, PX_FORMAT_BMP));
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(Dispatch, FailedDecodeKeepsThePictureAndInfo) {
    PxImage image(2, 2, 8);
    image.SetJpegQuality(33);
    image.SetTransIndex(4);
    BYTE junk[20] = {'B', 'M'};
    EXPECT_FALSE(image.Decode(junk, sizeof junk, PX_FORMAT_BMP));
    EXPECT_STRNE(image.GetLastError(), "");
    EXPECT_TRUE(image.IsValid());
    EXPECT_EQ(image.GetJpegQuality(), 33);
    EXPECT_EQ(image.GetTransIndex(), 4);
    EXPECT_TRUE(g_boxes.empty());  // BMP failures show nothing
}

TEST_F(Dispatch, SuccessfulDecodeReplacesTheWholeInfo) {
    PxImage image(2, 2, 8);
    image.SetJpegQuality(33);
    image.SetTransIndex(4);
    image.SetXDPI(10);
    BmpBuilder bmp = TinyBmp();
    ASSERT_TRUE(image.Decode(bmp.data(), bmp.size(), PX_FORMAT_BMP));
    EXPECT_EQ(image.GetJpegQuality(), 75);
    EXPECT_EQ(image.GetTransIndex(), -1);
    EXPECT_EQ(image.GetXDPI(), 96);
    EXPECT_EQ(image.GetBpp(), 24);
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 30);
}

TEST_F(Dispatch, GifAndPngFailuresShowAnErrorBox) {
    BYTE junk[8] = {};
    PxImage image;
    image.SetNumFrames(42);
    EXPECT_FALSE(image.Decode(junk, sizeof junk, PX_FORMAT_GIF));
    EXPECT_FALSE(image.Decode(junk, sizeof junk, PX_FORMAT_PNG));
    EXPECT_FALSE(image.Decode(junk, sizeof junk, PX_FORMAT_JPG));
    ASSERT_EQ(g_boxes.size(), 2u);
    EXPECT_EQ(g_boxes[0].caption, "Gif error");
    EXPECT_EQ(g_boxes[0].style, MB_OK | MB_ICONERROR);
    EXPECT_EQ(g_boxes[1].caption, "Png error");
    EXPECT_FALSE(g_boxes[1].text.empty());
    EXPECT_NE(image.GetNumFrames(), 42);  // the GIF codec's frame count came back
}

TEST_F(Dispatch, MissingFileShowsFileOpenErrorUnlessQuiet) {
    PxImage image;
    const std::string name = TempPath("missing.bmp").string();
    EXPECT_FALSE(image.Load(name.c_str(), PX_FORMAT_BMP, true));
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_FALSE(image.Load(name.c_str(), PX_FORMAT_BMP));
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].text, "File open error");
    EXPECT_EQ(g_boxes[0].caption, name);
    PxImage constructed(name.c_str(), PX_FORMAT_BMP);
    EXPECT_FALSE(constructed.IsValid());
    EXPECT_EQ(g_boxes.size(), 2u);
    EXPECT_FALSE(image.Load(std::wstring(L"/nonexistent/\u00e9.bmp").c_str(), PX_FORMAT_BMP));
    EXPECT_EQ(g_boxes.size(), 2u);
}

TEST_F(Dispatch, WithoutAHookNothingIsShown) {
    PxSetMessageBoxHook(nullptr);
    PxImage image;
    EXPECT_FALSE(image.Load("/nonexistent/file.bmp", PX_FORMAT_BMP));
    EXPECT_EQ(PxMessageBox("text", "caption", MB_OK), IDOK);
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(Dispatch, SaveAndLoadThroughEverySource) {
    PxImage picture(3, 2, 24);
    picture.Clear(0);
    picture.SetPixelColor(2, 1, RGB(200, 100, 50));
    // The wide name reaches the file system as UTF-8.
    const std::string base = TempPath("_").string();
    const std::string narrow = base + "\xC3\xA9t\xC3\xA9.bmp";
    const std::wstring wide = std::wstring(base.begin(), base.end()) + L"\u00e9t\u00e9.bmp";
    ASSERT_TRUE(picture.Save(wide.c_str(), PX_FORMAT_BMP));
    EXPECT_TRUE(picture.IsValid());  // the encoder's ghost freed nothing

    PxImage byName(narrow.c_str(), PX_FORMAT_BMP);
    PxImage byWideName;
    ASSERT_TRUE(byWideName.Load(wide.c_str(), PX_FORMAT_BMP));
    std::FILE* stream = std::fopen(narrow.c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    PxImage byStdio(stream, PX_FORMAT_BMP);
    std::fseek(stream, 0, SEEK_SET);
    PxIOFile wrapped(stream);
    PxImage byPxFile(&wrapped, PX_FORMAT_BMP);
    std::fclose(stream);
    for (PxImage* image : {&byName, &byWideName, &byStdio, &byPxFile}) {
        ASSERT_TRUE(image->IsValid());
        EXPECT_EQ(image->GetPixelColor(2, 1).rgbRed, 200);
    }
    std::remove(narrow.c_str());
    // A file that cannot be made names the system's reason; a quiet load too.
    EXPECT_FALSE(picture.Save("/nonexistent/dir/x.bmp", PX_FORMAT_BMP));
    EXPECT_STREQ(picture.GetLastError(), "No such file or directory");
    PxImage missing;
    EXPECT_FALSE(missing.Load("/nonexistent/dir/x.bmp", PX_FORMAT_BMP, true));
    EXPECT_STREQ(missing.GetLastError(), "No such file or directory");
}

TEST_F(Dispatch, APictureTheTypeCannotHoldLeavesTheFileAsItWas) {
    const std::string file = TempPath("kept.jpg").string();
    std::FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("earlier bytes", out);
    std::fclose(out);
    PxImage paletted(4, 4, 8);
    EXPECT_FALSE(paletted.Save(file.c_str(), PX_FORMAT_JPG));
    EXPECT_STRNE(paletted.GetLastError(), "");
    std::FILE* in = std::fopen(file.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    char text[32] = {};
    EXPECT_EQ(std::fread(text, 1, sizeof text - 1, in), 13u);
    std::fclose(in);
    EXPECT_STREQ(text, "earlier bytes");
    std::remove(file.c_str());
}

TEST_F(Dispatch, MemoryEncodeOnlyIntoANullBuffer) {
    PxImage picture(1, 1, 24);
    BYTE existing = 0;
    BYTE* buffer = &existing;
    LONG size = 5;
    EXPECT_FALSE(picture.Encode(buffer, size, PX_FORMAT_BMP));
    EXPECT_EQ(buffer, &existing);
    EXPECT_EQ(size, 5);
    buffer = nullptr;
    PxImage invalid;  // a failing encoder frees the stream's buffer
    EXPECT_FALSE(invalid.Encode(buffer, size, PX_FORMAT_GIF));
    EXPECT_EQ(buffer, nullptr);
    ASSERT_TRUE(picture.Encode(buffer, size, PX_FORMAT_BMP));
    PxImage back(buffer, static_cast<DWORD>(size), PX_FORMAT_BMP);
    std::free(buffer);
    EXPECT_TRUE(back.IsValid());
}

TEST_F(Dispatch, LoadsPicturesCompiledIntoTheProgram) {
    PxImage image;
    HRSRC resource = FindResource(nullptr, 7, "BMP");
    ASSERT_NE(resource, nullptr);
    ASSERT_TRUE(image.LoadResource(resource, PX_FORMAT_BMP)) << image.GetLastError();
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 255);
    EXPECT_EQ(image.GetPixelColor(1, 0).rgbGreen, 255);
    EXPECT_EQ(FindResource(nullptr, 7, "PNG"), nullptr);
    EXPECT_FALSE(image.LoadResource(nullptr, PX_FORMAT_BMP));
    EXPECT_STREQ(image.GetLastError(), "Unable to load resource!");
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 255);
}

// A worker's load relays its boxes to whoever shows them; the relay ends with its
// scope, an inner one gives way to the outer, and quiet still wins.
TEST_F(Dispatch, ARelayTakesTheThreadsBoxesUntilItEnds) {
    const std::string missing = TempPath("_relay_missing.png").string();
    std::vector<std::string> relayed;
    std::thread worker([&] {
        const PxMessageRelay outer([&](const char* text, const char*, UINT) {
            relayed.push_back(std::string("outer:") + text);
            return IDCANCEL;
        });
        {
            const PxMessageRelay inner([&](const char* text, const char*, UINT) {
                relayed.push_back(std::string("inner:") + text);
                return IDOK;
            });
            PxImage image(missing.c_str(), PX_FORMAT_PNG);
        }
        EXPECT_EQ(PxMessageBox("after", "c", MB_OK), IDCANCEL);
        const PxQuietMessages quiet;
        PxImage image(missing.c_str(), PX_FORMAT_PNG);
    });
    worker.join();
    EXPECT_EQ(relayed, (std::vector<std::string>{"inner:File open error", "outer:after"}));
    EXPECT_TRUE(g_boxes.empty());
    // Other threads, and this one, still go to the hook.
    PxImage image(missing.c_str(), PX_FORMAT_PNG);
    EXPECT_EQ(g_boxes.size(), 1u);
}
