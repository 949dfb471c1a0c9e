// The PNG decoder against PngSuite: every valid file decodes to the pixels libpng
// itself gives, with transparency composited over the file's background (or grey
// 192) or kept as alpha where the codec keeps it; the corrupt files fail with a
// message.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imaging/px_image.h"
#include "support/png_reference.h"
#include "support/testdata.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> SuiteFiles() {
    std::vector<fs::path> files;
    const fs::path dir = TestDataDir("pngsuite");
    if (!fs::is_directory(dir)) return files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() == ".png") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<unsigned char> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool IsCorrupt(const fs::path& file) {
    return file.filename().string().front() == 'x';
}

int ToByte(const PngReference& ref, int sample) {
    return ref.depth == 16 ? sample >> 8 : sample;
}

// What the codec gives for one pixel: colour and opacity, 8 bits each.
struct Expected {
    int rgb[3];
    int alpha;
};

// Composited over the background at the file's own depth, then cut to 8 bits.
Expected Composite(const PngReference& ref, const std::uint16_t* p) {
    const std::int64_t max = ref.max();
    std::int64_t background[3];
    for (int c = 0; c < 3; ++c) {
        background[c] = ref.hasBackground ? ref.background[c] : 192 * (max / 255);
    }
    // Grey files below 8 bits get the nearest grey their depth can hold.
    if (!ref.hasBackground && ref.colorType == PNG_COLOR_TYPE_GRAY && ref.bitDepth < 8) {
        const int top = (1 << ref.bitDepth) - 1;
        std::fill(background, background + 3, std::int64_t{(192 * top + 127) / 255 * (255 / top)});
    }
    Expected e{};
    for (int c = 0; c < 3; ++c) {
        const std::int64_t mixed =
            (std::int64_t{p[c]} * p[3] + background[c] * (max - p[3]) + max / 2) / max;
        e.rgb[c] = ToByte(ref, static_cast<int>(mixed));
    }
    e.alpha = 255;
    return e;
}

Expected ExpectedPixel(const PngReference& ref, const std::uint16_t* p) {
    const bool keepsAlpha =
        ref.colorType == PNG_COLOR_TYPE_RGB_ALPHA || ref.colorType == PNG_COLOR_TYPE_GRAY_ALPHA;
    const int fileBits = ref.channels * ref.bitDepth;
    if (ref.colorType == PNG_COLOR_TYPE_PALETTE || (keepsAlpha && fileBits == 32))
        return {{ToByte(ref, p[0]), ToByte(ref, p[1]), ToByte(ref, p[2])}, ToByte(ref, p[3])};
    return Composite(ref, p);
}

// Opacity as the codec records it: alpha channel, palette alpha or transparent index.
int ActualAlpha(const PxImage& image, LONG x, LONG y) {
    if (image.HasAlpha()) return image.AlphaGet(x, y);
    if (!image.IsIndexed()) return 255;
    const BYTE index = image.GetPixelIndex(x, y);
    if (image.IsAlphaPaletteEnabled()) return image.GetPaletteColor(index).rgbReserved;
    return image.GetTransIndex() == index ? 0 : 255;
}

}  // namespace

TEST(PngSuite, ValidFilesMatchLibpngAndTheCompositingRule) {
    const auto files = SuiteFiles();
    if (files.empty()) GTEST_SKIP() << "PngSuite not found at " << TestDataDir("pngsuite");
    int checked = 0;
    for (const auto& file : files) {
        if (IsCorrupt(file)) continue;
        SCOPED_TRACE(file.filename().string());
        std::vector<unsigned char> bytes = ReadFile(file);
        const auto ref = DecodePngDirectly(bytes);
        ASSERT_TRUE(ref.has_value());
        PxImage image;
        ASSERT_TRUE(image.Decode(bytes.data(), static_cast<DWORD>(bytes.size()), PX_FORMAT_PNG))
            << image.GetLastError();
        ASSERT_EQ(image.GetWidth(), static_cast<DWORD>(ref->width));
        ASSERT_EQ(image.GetHeight(), static_cast<DWORD>(ref->height));
        int wrong = 0;
        for (int y = 0; y < ref->height && wrong < 3; ++y) {
            for (int x = 0; x < ref->width && wrong < 3; ++x) {
                const Expected e = ExpectedPixel(*ref, ref->at(x, y));
                const LONG row = ref->height - 1 - y;
                const RGBQUAD c = image.GetPixelColor(x, row);
                const int actual[4] = {c.rgbRed, c.rgbGreen, c.rgbBlue, ActualAlpha(image, x, row)};
                const int expected[4] = {e.rgb[0], e.rgb[1], e.rgb[2], e.alpha};
                if (!std::equal(actual, actual + 4, expected)) {
                    ++wrong;
                    ADD_FAILURE() << "pixel " << x << "," << y << ": got " << actual[0] << " "
                                  << actual[1] << " " << actual[2] << " a" << actual[3]
                                  << ", expected " << expected[0] << " " << expected[1] << " "
                                  << expected[2] << " a" << expected[3];
                }
            }
        }
        ++checked;
    }
    EXPECT_GT(checked, 150);
}

TEST(PngSuite, CorruptFilesFailWithTheLibraryMessage) {
    const auto files = SuiteFiles();
    if (files.empty()) GTEST_SKIP() << "PngSuite not found at " << TestDataDir("pngsuite");
    int checked = 0;
    for (const auto& file : files) {
        if (!IsCorrupt(file)) continue;
        SCOPED_TRACE(file.filename().string());
        std::vector<unsigned char> bytes = ReadFile(file);
        PxImage image(4, 4, 8);
        image.SetPixelIndex(1, 1, 9);
        EXPECT_FALSE(image.Decode(bytes.data(), static_cast<DWORD>(bytes.size()), PX_FORMAT_PNG));
        EXPECT_STRNE(image.GetLastError(), "");
        EXPECT_EQ(image.GetWidth(), 4u);
        EXPECT_EQ(image.GetPixelIndex(1, 1), 9);
        ++checked;
    }
    EXPECT_EQ(checked, 14);
}
