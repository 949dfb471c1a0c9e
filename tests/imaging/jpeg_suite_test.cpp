// The JPEG decoder against the public JPEG set: every file decodes to exactly
// what libjpeg itself gives, or fails with a text; cut-off files as well.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imaging/px_image.h"
#include "support/jpeg_reference.h"
#include "support/rgb_dump.h"
#include "support/testdata.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> JpegFiles() {
    std::vector<fs::path> files;
    const fs::path dir = TestDataDir("jpeg");
    if (!fs::is_directory(dir)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const auto ext = entry.path().extension();
        if (ext == ".jpeg" || ext == ".jpg") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<unsigned char> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<unsigned char> AsRgb(const JpegPicture& p) {
    if (p.components == 3) return p.samples;
    std::vector<unsigned char> rgb;
    for (unsigned char v : p.samples)
        rgb.insert(rgb.end(), {v, v, v});
    return rgb;
}

// Decodes `bytes` both ways; the codec must agree with libjpeg on success and on
// failure, and a failure must leave a text and the old picture.
void ExpectSameAsLibjpeg(std::vector<unsigned char>& bytes) {
    const auto ref = DecodeJpegDirectly(bytes);
    PxImage image(2, 2, 24);
    const bool ok = image.Decode(bytes.data(), static_cast<DWORD>(bytes.size()), PX_FORMAT_JPG);
    ASSERT_EQ(ok, ref.has_value()) << image.GetLastError();
    if (!ok) {
        EXPECT_STRNE(image.GetLastError(), "");
        EXPECT_EQ(image.GetWidth(), 2u);
        return;
    }
    ASSERT_EQ(image.GetWidth(), static_cast<DWORD>(ref->width));
    ASSERT_EQ(image.GetHeight(), static_cast<DWORD>(ref->height));
    EXPECT_EQ(image.GetBpp(), ref->components == 1 ? 8 : 24);
    EXPECT_TRUE(ToRgb(image).rgb == AsRgb(*ref));
}

}  // namespace

TEST(JpegSuite, EveryFileMatchesLibjpegsOwnDecode) {
    const auto files = JpegFiles();
    if (files.empty()) GTEST_SKIP() << "JPEG set not found at " << TestDataDir("jpeg");
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        std::vector<unsigned char> bytes = ReadFile(file);
        ExpectSameAsLibjpeg(bytes);
    }
}

TEST(JpegSuite, CutOffFilesGiveWhatTheyHoldOrFail) {
    const auto files = JpegFiles();
    if (files.empty()) GTEST_SKIP() << "JPEG set not found at " << TestDataDir("jpeg");
    for (const char* name :
         {"peacock.default.jpeg", "peacock.progressive.jpeg", "peacock.grayscale.jpeg"}) {
        const auto it = std::find_if(files.begin(), files.end(),
                                     [name](const fs::path& f) { return f.filename() == name; });
        ASSERT_NE(it, files.end()) << name;
        const std::vector<unsigned char> whole = ReadFile(*it);
        for (std::size_t cut = 0; cut < whole.size(); cut += 61) {
            SCOPED_TRACE(testing::Message() << name << " cut at " << cut);
            std::vector<unsigned char> part(whole.begin(), whole.begin() + cut);
            ExpectSameAsLibjpeg(part);
        }
    }
}
