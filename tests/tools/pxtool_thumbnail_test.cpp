// pxtool thumbnail: the list's thumbnails as files, the placeholder included, and
// inputs that name no picture reported as skipped; any number of threads writes
// the same files and messages.
#include "thumbnail.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "options.h"

namespace fs = std::filesystem;

TEST(PxtoolThumbnail, WritesEachInputsSquareWithBlackTransparent) {
    const fs::path dir = fs::temp_directory_path() / ("ostrel_thumbs_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    PxImage wide;
    ASSERT_TRUE(wide.Create(100, 50, 24, PX_FORMAT_PNG));
    wide.Clear(0);  // black content must stay visible
    ASSERT_TRUE(wide.Save((dir / "wide.png").c_str(), PX_FORMAT_PNG));
    std::ofstream(dir / "broken.jpg") << "not a jpeg";
    std::ofstream(dir / "notes.txt") << "text";

    testing::internal::CaptureStdout();
    EXPECT_EQ(pxtool::RunThumbnail({(dir / "wide.png").string(), (dir / "broken.jpg").string(),
                                    (dir / "notes.txt").string(), "-o", (dir / "out").string()}),
              0);
    EXPECT_NE(
        testing::internal::GetCapturedStdout().find("skipped " + (dir / "notes.txt").string()),
        std::string::npos);

    PxImage thumb;
    ASSERT_TRUE(thumb.Load((dir / "out/wide.png").c_str(), PX_FORMAT_PNG, true));
    EXPECT_EQ(thumb.GetWidth(), 64u);
    EXPECT_EQ(thumb.GetHeight(), 64u);
    // 64 x 32 of near-black content centred in white; nothing is masked.
    const RGBQUAD inside = thumb.GetPixelColor(32, 32);
    EXPECT_EQ(inside.rgbRed, 16);
    EXPECT_EQ(thumb.GetPixelColor(32, 2).rgbRed, 255);
    EXPECT_TRUE(fs::exists(dir / "out/broken.png"));  // the placeholder
    EXPECT_FALSE(fs::exists(dir / "out/notes.png"));
    EXPECT_THROW(pxtool::RunThumbnail({(dir / "wide.png").string()}), pxtool::UsageError);
    fs::remove_all(dir);
}

namespace {

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(PxtoolThumbnail, OneOrFourThreadsWriteTheSameFilesAndMessagesInInputOrder) {
    const fs::path dir = fs::temp_directory_path() / ("ostrel_jthumbs_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "in");
    std::vector<std::string> args;
    for (int i = 0; i < 12; ++i) {
        PxImage picture;
        ASSERT_TRUE(picture.Create(static_cast<DWORD>(300 + 37 * i), 200, 24, PX_FORMAT_JPG));
        for (LONG y = 0; y < 200; ++y)
            for (LONG x = 0; x < static_cast<LONG>(picture.GetWidth()); ++x)
                picture.SetPixelColor(x, y,
                                      RGBQUAD{static_cast<BYTE>(x * y + i), static_cast<BYTE>(y),
                                              static_cast<BYTE>(x / 2 + 9 * i), 0});
        const bool jpeg = i % 2 == 1;
        std::string name = "p" + std::to_string(i) + (jpeg ? ".jpg" : ".png");
        if (i == 5 || i == 8) name = jpeg ? "same.jpg" : "same.png";  // the later keeps ".png"
        const fs::path path = dir / "in" / name;
        ASSERT_TRUE(picture.Save(path.c_str(), jpeg ? PX_FORMAT_JPG : PX_FORMAT_PNG));
        args.push_back(path.string());
        if (i % 4 == 3)
            args.push_back((dir / "in" / ("notes" + std::to_string(i) + ".txt")).string());
    }
    for (const std::string& arg : args)
        if (arg.ends_with(".txt")) std::ofstream(arg) << "text";
    args.push_back((dir / "in").string());  // a folder: refused, in its place

    std::string messages[2];
    const char* const threads[2] = {"1", "4"};
    for (int run = 0; run < 2; ++run) {
        std::vector<std::string> line = args;
        for (const char* word : {"-j", threads[run], "-o"})
            line.push_back(word);
        line.push_back((dir / ("out" + std::string(threads[run]))).string());
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_EQ(pxtool::RunThumbnail(line), 1);  // the folder
        messages[run] = testing::internal::GetCapturedStdout();
        messages[run] += testing::internal::GetCapturedStderr();
    }
    EXPECT_EQ(messages[0], messages[1]);
    EXPECT_LT(messages[0].find("notes3.txt"), messages[0].find("notes7.txt"));
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(dir / "out1")) {
        ++files;
        const fs::path other = dir / "out4" / entry.path().filename();
        ASSERT_TRUE(fs::exists(other)) << other;
        EXPECT_EQ(Bytes(entry.path()), Bytes(other)) << entry.path().filename();
    }
    EXPECT_EQ(files, 12u);
    EXPECT_TRUE(fs::exists(dir / "out4/same.png"));
    EXPECT_TRUE(fs::exists(dir / "out4/same.png.png"));
    EXPECT_THROW(pxtool::RunThumbnail({args[0], "-j", "0", "-o", (dir / "x").string()}),
                 pxtool::UsageError);
    fs::remove_all(dir);
}
