#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/px_image.h"
#include "operations.h"
#include "options.h"

using pxtool::ParseOptions;
using pxtool::UsageError;

TEST(PxtoolOperations, KeptInCommandLineOrderBetweenPositionals) {
    const pxtool::Options options = ParseOptions(
        {"in.bmp", "--rotate", "left", "bmp", "--crop", "0,0,2,1", "--mirror", "--frame", "0"});
    EXPECT_EQ(options.positional, (std::vector<std::string>{"in.bmp", "bmp"}));
    ASSERT_EQ(options.operations.size(), 3u);
    EXPECT_EQ(options.operations[1].text, "--crop 0,0,2,1");
    PxImage image(3, 2, 24);
    image.Clear(0);
    image.SetPixelColor(2, 1, RGBQUAD{0, 0, 255, 0});  // top right
    ASSERT_TRUE(pxtool::ApplyOperations(options.operations, image, "in.bmp"));
    // Turned first (2 x 3, red at the top left), then cut, then mirrored.
    ASSERT_EQ(image.GetWidth(), 2u);
    ASSERT_EQ(image.GetHeight(), 1u);
    EXPECT_EQ(image.GetPixelColor(1, 0).rgbRed, 255);
}

TEST(PxtoolOperations, DepthGoesDownOrUpAndFailuresStopTheRun) {
    PxImage image(4, 4, 24);
    image.Clear(200);
    const auto run = [&](std::vector<std::string> args) {
        return pxtool::ApplyOperations(ParseOptions(args).operations, image, "x");
    };
    ASSERT_TRUE(run({"--bpp", "8:diffuse", "--light", "10,100", "--colorize", "0,0"}));
    EXPECT_EQ(image.GetBpp(), 8);
    ASSERT_TRUE(run({"--bpp", "24", "--resample", "8x2:fast", "--resample", "2x2", "--flip"}));
    EXPECT_EQ(image.GetBpp(), 24);
    EXPECT_EQ(image.GetWidth(), 2u);
    EXPECT_FALSE(run({"--crop", "5,5,5,9", "--rotate", "right"}));
    EXPECT_EQ(image.GetWidth(), 2u);
}

TEST(PxtoolOperations, BadValuesAreUsageErrors) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bpp", "3"},         {"--bpp", "8:dither"},      {"--resample", "10"},
        {"--resample", "10x0"}, {"--resample", "5x5:slow"}, {"--resample", "4x4x4"},
        {"--light", "1"},       {"--colorize", "256,1"},    {"--rotate", "up"},
        {"--rotate"},           {"--crop", "1,2,3,4,5"},    {"--crop", "a,b,c,d"}};
    for (const auto& args : bad)
        EXPECT_THROW(ParseOptions(args), UsageError) << args[0];
}
