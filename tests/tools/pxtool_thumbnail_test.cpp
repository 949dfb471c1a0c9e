// pxtool thumbnail: the list's thumbnails as files, the placeholder included, and
// inputs that name no picture reported as skipped.
#include "thumbnail.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

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
