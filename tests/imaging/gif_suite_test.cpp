// The GIF decoder against the public GIF suites: frame 0 of every file giflib
// reads gives the same pixels, and damaged or hostile files never crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imaging/px_image.h"
#include "support/giflib_reader.h"
#include "support/testdata.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> GifFiles() {
    std::vector<fs::path> files;
    const fs::path dir = TestDataDir("gif");
    if (!fs::is_directory(dir)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.path().extension() == ".gif") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<BYTE> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Indices must match (cut to our bits per pixel); colours must match wherever the
// index lies in the file's table, except for the entry 255 a transparent frame
// gives up for white.
void ExpectSameFrame(const PxImage& ours, const GiflibFrame& theirs, const std::string& name) {
    ASSERT_EQ(static_cast<int>(ours.GetWidth()), theirs.width) << name;
    ASSERT_EQ(static_cast<int>(ours.GetHeight()), theirs.height) << name;
    const int mask = (1 << ours.GetBpp()) - 1;
    const int tableSize = static_cast<int>(theirs.colours.size() / 3);
    const bool whiteTaken = ours.IsTransparent() && tableSize == 256;
    for (int y = 0; y < theirs.height; ++y) {
        for (int x = 0; x < theirs.width; ++x) {
            const int index = theirs.indices[static_cast<std::size_t>(y) * theirs.width + x];
            const LONG row = theirs.height - 1 - y;
            ASSERT_EQ(ours.GetPixelIndex(x, row), index & mask) << name << " at " << x << "," << y;
            if (index >= tableSize || (whiteTaken && index == 255)) continue;
            const RGBQUAD c = ours.GetPixelColor(x, row);
            ASSERT_EQ(c.rgbRed, theirs.colours[3 * index]) << name;
            ASSERT_EQ(c.rgbGreen, theirs.colours[3 * index + 1]) << name;
            ASSERT_EQ(c.rgbBlue, theirs.colours[3 * index + 2]) << name;
        }
    }
}

}  // namespace

TEST(GifSuite, FrameZeroMatchesGiflib) {
    const std::vector<fs::path> files = GifFiles();
    if (files.empty()) GTEST_SKIP() << "no test data at " << TestDataDir("gif");
    int compared = 0;
    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        std::vector<BYTE> bytes = ReadFile(file);
        const auto theirs = ReadWithGiflib(bytes.data(), bytes.size());
        PxImage ours;
        const bool decoded =
            ours.Decode(bytes.data(), static_cast<DWORD>(bytes.size()), PX_FORMAT_GIF);
        if (!theirs || theirs->frames.empty()) continue;  // giflib refuses it: damaged
        // None of the suite's files is a tiled true-colour file (no global table, a
        // first image smaller than the screen), which we would read whole.
        ASSERT_FALSE(ours.GetBpp() == 24) << name;
        ASSERT_TRUE(decoded) << name << ": " << ours.GetLastError();
        EXPECT_EQ(ours.GetNumFrames(), static_cast<LONG>(theirs->frames.size())) << name;
        ExpectSameFrame(ours, theirs->frames[0], name);
        ++compared;
    }
    EXPECT_GT(compared, 40);
}

// Whole, cut short and with bytes changed, for the first frames: a file decodes
// to a valid picture or fails; the sanitizer builds catch any stray access.
TEST(GifSuite, DamagedAndHostileFilesNeverCrash) {
    const std::vector<fs::path> files = GifFiles();
    if (files.empty()) GTEST_SKIP() << "no test data at " << TestDataDir("gif");
    unsigned seed = 4242;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (const fs::path& file : files) {
        const std::vector<BYTE> whole = ReadFile(file);
        std::vector<std::vector<BYTE>> variants = {whole};
        for (std::size_t cut : {std::size_t{6}, std::size_t{13}, std::size_t{40}, whole.size() / 3,
                                whole.size() / 2, whole.size() - 1}) {
            if (cut < whole.size()) variants.emplace_back(whole.begin(), whole.begin() + cut);
        }
        for (int round = 0; round < 6 && !whole.empty(); ++round) {
            std::vector<BYTE> changed = whole;
            for (int k = 0; k < 6; ++k)
                changed[next() % changed.size()] = static_cast<BYTE>(next() >> 16);
            variants.push_back(std::move(changed));
        }
        for (std::vector<BYTE>& bytes : variants) {
            for (LONG frame : {0, 1, 3}) {
                PxImage image;
                image.SetFrame(frame);
                if (image.Decode(bytes.data(), static_cast<DWORD>(bytes.size()), PX_FORMAT_GIF)) {
                    EXPECT_TRUE(image.IsValid()) << file;
                    EXPECT_GT(image.GetNumFrames(), frame) << file;
                } else {
                    EXPECT_FALSE(image.IsValid()) << file;
                }
            }
        }
    }
}
