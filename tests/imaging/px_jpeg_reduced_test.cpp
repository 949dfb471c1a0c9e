// Reduced JPEG decoding for small pictures: the scale keeps the longer side at the
// asked size or above, and Load still decodes in full.
#include "imaging/px_jpeg_reduced.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "imaging/px_jpeg_codec.h"

namespace fs = std::filesystem;

TEST(JpegReduced, TheSmallestScaleThatKeepsTheLongerSide) {
    EXPECT_EQ(PxJpegReductionFor(4000, 3000, 128), 8u);  // 500 x 375
    EXPECT_EQ(PxJpegReductionFor(800, 600, 128), 4u);    // 200 x 150
    EXPECT_EQ(PxJpegReductionFor(300, 200, 128), 2u);    // 150 x 100
    EXPECT_EQ(PxJpegReductionFor(1020, 10, 128), 8u);    // 128, rounded up
    EXPECT_EQ(PxJpegReductionFor(1016, 10, 128), 4u);    // 127 would be too few
    EXPECT_EQ(PxJpegReductionFor(200, 250, 128), 1u);
    EXPECT_EQ(PxJpegReductionFor(4000, 3000, 0), 1u);
}

TEST(JpegReduced, DecodesReducedWhileLoadStaysFull) {
    const fs::path file =
        fs::temp_directory_path() / ("ostrel_reduced_" + std::to_string(getpid()) + ".jpg");
    PxImage picture;
    ASSERT_TRUE(picture.Create(1000, 600, 24, PX_FORMAT_JPG));
    for (LONG y = 0; y < 600; ++y)
        for (LONG x = 0; x < 1000; ++x)
            picture.SetPixelColor(
                x, y,
                RGBQUAD{90, static_cast<BYTE>(y * 255 / 599), static_cast<BYTE>(x * 255 / 999), 0});
    ASSERT_TRUE(picture.Save(file.c_str(), PX_FORMAT_JPG));

    PxImage small;
    ASSERT_TRUE(PxLoadJpegReduced(file.c_str(), 128, small));
    EXPECT_EQ(small.GetWidth(), 250u);  // 1/4: 1/8 would give 125
    EXPECT_EQ(small.GetHeight(), 150u);
    EXPECT_EQ(small.GetType(), static_cast<DWORD>(PX_FORMAT_JPG));
    // The colours are those of the same place in the full picture.
    const RGBQUAD c = small.GetPixelColor(100, 75);
    EXPECT_NEAR(c.rgbBlue, 90, 8);
    EXPECT_NEAR(c.rgbGreen, 300 * 255 / 599, 8);
    EXPECT_NEAR(c.rgbRed, 400 * 255 / 999, 8);

    PxImage full;
    ASSERT_TRUE(full.Load(file.c_str(), PX_FORMAT_JPG, true));
    EXPECT_EQ(full.GetWidth(), 1000u);

    // A truncated file and a missing one fail, leaving the image as it was.
    std::ofstream(file, std::ios::binary | std::ios::trunc) << "\xFF\xD8\xFF";
    std::string error;
    EXPECT_FALSE(PxLoadJpegReduced(file.c_str(), 128, small, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(small.GetWidth(), 250u);
    EXPECT_FALSE(PxLoadJpegReduced("/nonexistent/x.jpg", 128, small, &error));
    EXPECT_EQ(error, "File open error");
    fs::remove(file);
}
