// The BMP decoder against the public bitmap suites: good and questionable files
// decode to the pixels ImageMagick gives, bad and damaged files fail with a text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "imaging/px_image.h"
#include "support/rgb_dump.h"
#include "support/testdata.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> BmpFiles(const fs::path& dir) {
    std::vector<fs::path> files;
    if (!fs::is_directory(dir)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.path().extension() == ".bmp") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<BYTE> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Where our documented behaviour differs from ImageMagick's, and how to compare.
enum class Rule { Exact, TopBits, WithinOne, SameAsPal8, Refused };
struct Difference {
    Rule rule;
    unsigned char masks[3] = {0xFF, 0xFF, 0xFF};
    const char* why;
};

const std::map<std::string, Difference>& KnownDifferences() {
    static const std::map<std::string, Difference> table = {
        {"rgb16.bmp", {Rule::TopBits, {0xF8, 0xF8, 0xF8}, "16-bit fields keep their top bits"}},
        {"rgb16-565.bmp", {Rule::TopBits, {0xF8, 0xFC, 0xF8}, "16-bit fields keep their top bits"}},
        {"rgb16-565pal.bmp",
         {Rule::TopBits, {0xF8, 0xFC, 0xF8}, "16-bit fields keep their top bits"}},
        {"rgb16-231.bmp", {Rule::TopBits, {0xC0, 0xE0, 0x80}, "16-bit fields keep their top bits"}},
        {"rgb32-111110.bmp", {Rule::WithinOne, {}, "fields over 8 bits keep their top 8 bits"}},
        {"pal8os2v2.bmp", {Rule::SameAsPal8, {}, "ImageMagick misreads the 64-byte OS/2 header"}},
        {"pal8oversizepal.bmp",
         {Rule::SameAsPal8, {}, "ImageMagick refuses the oversized palette"}},
        {"pal2.bmp", {Rule::Refused, {}, "2-bit pixels are not read"}},
        {"rgb24jpeg.bmp", {Rule::Refused, {}, "embedded JPEG data is not read"}},
        {"rgb24png.bmp", {Rule::Refused, {}, "embedded PNG data is not read"}},
        {"rgba32abf.bmp", {Rule::Refused, {}, "alpha bit-field compression is not read"}},
    };
    return table;
}

void ExpectSamePixels(const RgbPicture& ours, const RgbPicture& theirs, const Difference& d,
                      const std::string& name) {
    ASSERT_EQ(ours.width, theirs.width) << name;
    ASSERT_EQ(ours.height, theirs.height) << name;
    for (std::size_t i = 0; i < ours.rgb.size(); ++i) {
        const int a = ours.rgb[i], b = theirs.rgb[i];
        const bool same = d.rule == Rule::TopBits     ? a == (b & d.masks[i % 3])
                          : d.rule == Rule::WithinOne ? std::abs(a - b) <= 1
                                                      : a == b;
        ASSERT_TRUE(same) << name << " byte " << i << ": ours " << a << ", ImageMagick " << b
                          << (d.why ? std::string(" (") + d.why + ")" : "");
    }
}

}  // namespace

TEST(BmpSuite, GoodAndQuestionableFilesMatchImageMagick) {
    const fs::path suite = TestDataDir("bmpsuite");
    if (!fs::is_directory(suite)) GTEST_SKIP() << "no test data at " << suite;
    if (ImageMagickConvert().empty()) GTEST_SKIP() << "ImageMagick's /usr/bin/convert is absent";
    const auto pal8 = DecodeWithImageMagick((suite / "g" / "pal8.bmp").string());
    ASSERT_TRUE(pal8);
    int compared = 0;
    for (const char* folder : {"g", "q"}) {
        for (const fs::path& file : BmpFiles(suite / folder)) {
            const std::string name = file.filename().string();
            const auto known = KnownDifferences().find(name);
            const Difference d = known == KnownDifferences().end()
                                     ? Difference{Rule::Exact, {}, nullptr}
                                     : known->second;
            PxImage image;
            const bool decoded = image.Load(file.string().c_str(), PX_FORMAT_BMP, true);
            if (d.rule == Rule::Refused) {
                EXPECT_FALSE(decoded) << name << ": " << d.why;
                EXPECT_STRNE(image.GetLastError(), "") << name;
                continue;
            }
            ASSERT_TRUE(decoded) << name << ": " << image.GetLastError();
            const auto theirs =
                d.rule == Rule::SameAsPal8 ? pal8 : DecodeWithImageMagick(file.string());
            ASSERT_TRUE(theirs) << "ImageMagick could not read " << name;
            ExpectSamePixels(ToRgb(image), *theirs, d, name);
            ++compared;
        }
    }
    EXPECT_GT(compared, 40);
}

// Every file of the suites, whole, cut short and with bytes changed, either decodes
// or fails with a text; the sanitizer builds catch any access outside a buffer.
TEST(BmpSuite, DamagedAndHostileFilesNeverCrash) {
    std::vector<fs::path> files = BmpFiles(TestDataDir("bmpsuite"));
    const std::vector<fs::path> more = BmpFiles(TestDataDir("bmp"));
    files.insert(files.end(), more.begin(), more.end());
    if (files.empty()) GTEST_SKIP() << "no test data at " << TestDataDir("bmpsuite");
    unsigned seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (const fs::path& file : files) {
        const std::vector<BYTE> whole = ReadFile(file);
        std::vector<std::vector<BYTE>> variants = {whole};
        for (std::size_t cut : {std::size_t{13}, std::size_t{30}, std::size_t{54}, whole.size() / 2,
                                whole.size() - 1}) {
            if (cut < whole.size()) variants.emplace_back(whole.begin(), whole.begin() + cut);
        }
        for (int round = 0; round < 8 && !whole.empty(); ++round) {
            std::vector<BYTE> changed = whole;
            for (int k = 0; k < 4; ++k)
                changed[next() % std::min<std::size_t>(changed.size(), 80)] =
                    static_cast<BYTE>(next() >> 16);
            variants.push_back(std::move(changed));
        }
        for (std::vector<BYTE>& bytes : variants) {
            PxImage image;
            if (!image.Decode(bytes.data(), static_cast<DWORD>(bytes.size()), PX_FORMAT_BMP)) {
                EXPECT_STRNE(image.GetLastError(), "") << file;
                EXPECT_FALSE(image.IsValid());
            }
        }
    }
}
