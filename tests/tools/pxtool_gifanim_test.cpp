#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "commands.h"
#include "imaging/px_gif_codec.h"
#include "imaging/px_image.h"
#include "imaging/px_io_file.h"
#include "options.h"

namespace fs = std::filesystem;

TEST(PxtoolGifAnim, PalettedPicturesBecomeOneLoopingAnimation) {
    const fs::path dir = fs::temp_directory_path() / ("pxtool_gifanim_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string a = (dir / "a.bmp").string(), b = (dir / "b.bmp").string();
    const std::string out = (dir / "out.gif").string(), colour = (dir / "c.bmp").string();
    PxImage first(5, 4, 8, PX_FORMAT_BMP), second(5, 4, 4, PX_FORMAT_BMP), rgb(2, 2, 24);
    first.Clear(3);
    second.Clear(0x11);
    rgb.Clear(0);
    ASSERT_TRUE(first.Save(a.c_str(), PX_FORMAT_BMP));
    ASSERT_TRUE(second.Save(b.c_str(), PX_FORMAT_BMP));
    ASSERT_TRUE(rgb.Save(colour.c_str(), PX_FORMAT_BMP));

    EXPECT_EQ(pxtool::RunGifAnim(pxtool::ParseOptions({out, a, b, "--delay", "7", "--loop", "2"})),
              0);
    PxIOFile file;
    ASSERT_TRUE(file.Open(out.c_str(), "rb"));
    PxGifCodec gif;
    gif.SetFrame(1);
    ASSERT_TRUE(gif.Decode(&file));
    EXPECT_EQ(gif.GetNumFrames(), 2);
    EXPECT_EQ(gif.GetLoopCount(), 2);
    EXPECT_EQ(gif.GetFrameDelay(), 7u);
    EXPECT_EQ(gif.GetPixelIndex(4, 3), 1);

    EXPECT_EQ(pxtool::RunGifAnim(pxtool::ParseOptions({out, a, colour})), 1);
    EXPECT_THROW(pxtool::RunGifAnim(pxtool::ParseOptions({out})), pxtool::UsageError);
    EXPECT_THROW(pxtool::ParseOptions({"--loop", "70000"}), pxtool::UsageError);
    fs::remove_all(dir);
}
