// Files and types on pxtool's command line, and how its failures are told.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "commands.h"
#include "imaging/px_image.h"
#include "library_messages.h"
#include "options.h"

namespace fs = std::filesystem;

TEST(PxtoolFiles, ATypeWordRightAfterAFileIsItsTypeElseTheExtensionTells) {
    const auto files = pxtool::FileArguments({"in.bmp", "out.PNG", "x.gif", "jpeg", "png"});
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(pxtool::TypeOf(files[0]), DWORD{PX_FORMAT_BMP});
    EXPECT_EQ(pxtool::TypeOf(files[1]), DWORD{PX_FORMAT_PNG});
    EXPECT_EQ(pxtool::TypeOf(files[2]), DWORD{PX_FORMAT_JPG});  // the type given wins
    EXPECT_EQ(files[2].name, "x.gif");
    // A type word where no file without a type stands before it is a file's name.
    EXPECT_EQ(files[3].name, "png");
    EXPECT_EQ(pxtool::FileArguments({"png", "2"})[0].name, "png");
    EXPECT_EQ(pxtool::TypeOf({"photo.JPE", std::nullopt}), DWORD{PX_FORMAT_JPG});
    // Only names count as extensions: photo.3 is not a JPEG, a folder's dot is no type.
    EXPECT_THROW(pxtool::TypeOf({"photo.3", std::nullopt}), pxtool::UsageError);
    EXPECT_THROW(pxtool::TypeOf({"pics.png/photo", std::nullopt}), pxtool::UsageError);
    EXPECT_THROW(pxtool::TypeOf({"photo", std::nullopt}), pxtool::UsageError);
}

namespace {

// Runs a command with the library's boxes printed, as pxtool does, and returns
// what it wrote on standard error.
std::string ErrorsOf(int (*command)(const pxtool::Options&), std::vector<std::string> args,
                     int expected) {
    pxtool::PrintMessageBoxes();
    testing::internal::CaptureStderr();
    EXPECT_EQ(command(pxtool::ParseOptions(args)), expected);
    return testing::internal::GetCapturedStderr();
}

}  // namespace

TEST(PxtoolFiles, EachFailureIsOneLineWithItsReason) {
    const fs::path dir = fs::temp_directory_path() / ("pxtool_files_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string bmp = (dir / "B.bmp").string();
    PxImage picture(6, 4, 24, PX_FORMAT_BMP);
    picture.Clear(0x40);
    ASSERT_TRUE(picture.Save(bmp.c_str(), PX_FORMAT_BMP));

    EXPECT_EQ(ErrorsOf(pxtool::RunConvert, {bmp, "bmp", "/nonexistent/o.png", "png"}, 1),
              "pxtool: cannot encode /nonexistent/o.png: No such file or directory\n");
    const std::string png = (dir / "o.png").string();
    EXPECT_EQ(ErrorsOf(pxtool::RunConvert, {bmp, png}, 0), "");
    testing::internal::CaptureStdout();
    EXPECT_EQ(ErrorsOf(pxtool::RunInfo, {png}, 0), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("width=6 height=4 bpp=24 type=4", 0),
              0u);

    // The GIF and PNG decoders show a box of their own; it is not told twice.
    const std::string gif = (dir / "cut.gif").string(), cutPng = (dir / "cut.png").string();
    std::ofstream(gif, std::ios::binary) << "GIF89a\x06\x00";
    std::ofstream(cutPng, std::ios::binary) << "\x89PNG\r\n\x1a\n\0\0";
    EXPECT_EQ(ErrorsOf(pxtool::RunInfo, {gif}, 1),
              "pxtool: cannot decode " + gif + ": not a readable GIF picture\n");
    const std::string pngErrors = ErrorsOf(pxtool::RunInfo, {cutPng}, 1);
    EXPECT_EQ(pngErrors.rfind("pxtool: cannot decode " + cutPng + ": ", 0), 0u);
    EXPECT_EQ(std::count(pngErrors.begin(), pngErrors.end(), '\n'), 1);
    fs::remove_all(dir);
}
