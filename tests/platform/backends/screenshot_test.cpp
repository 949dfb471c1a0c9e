#include "platform/backends/screenshot.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include <unistd.h>

#include "platform/gdi/gdi.h"

namespace {

std::filesystem::path TempFile(const char* name) {
    return std::filesystem::temp_directory_path() /
           (std::string("ostrel_") + std::to_string(::getpid()) + "_" + name);
}

}  // namespace

TEST(Screenshot, WritesTheSurfaceAsAPictureThatReadsBackPixelForPixel) {
    // An odd width exercises the row padding; the text exercises real drawing.
    auto surface = std::make_shared<Surface>(37, 21);
    for (LONG y = 0; y < 21; ++y)
        for (LONG x = 0; x < 37; ++x)
            surface->Put(x, y, RGB(x * 7, y * 12, 200 - x));
    HDC dc = CreateSurfaceDC(surface);
    TextOut(dc, 1, 1, "Ok", 2);
    DeleteDC(dc);

    const std::filesystem::path path = TempFile("shot.bmp");
    std::string error;
    ASSERT_TRUE(WriteScreenshot(*surface, path.string(), kScreenshotFormat, &error)) << error;
    PxImage back;
    ASSERT_TRUE(back.Load(path.c_str(), kScreenshotFormat, true)) << back.GetLastError();
    ASSERT_EQ(back.GetWidth(), 37u);
    ASSERT_EQ(back.GetHeight(), 21u);
    for (LONG y = 0; y < 21; ++y)
        for (LONG x = 0; x < 37; ++x)
            ASSERT_EQ(PxImage::RGBQUADtoRGB(back.GetPixelColor(x, 20 - y)), surface->Get(x, y))
                << x << "," << y;
    std::filesystem::remove(path);
}

TEST(Screenshot, FailureLeavesNoFileAndSaysWhy) {
    const Surface surface(4, 4);
    std::string error;
    const std::filesystem::path missingDir = TempFile("no_such_dir") / "shot.bmp";
    EXPECT_FALSE(WriteScreenshot(surface, missingDir.string(), kScreenshotFormat, &error));
    EXPECT_FALSE(error.empty());
    const std::filesystem::path path = TempFile("unsupported.png");
    EXPECT_FALSE(WriteScreenshot(surface, path.string(), PX_FORMAT_UNKNOWN, &error));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(WriteScreenshot(Surface(0, 0), path.string(), kScreenshotFormat, &error));
}
