#include "imaging/px_webp_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/px_image.h"
#include "imaging/px_load_options.h"
#include "support/tool_pictures.h"

using namespace toolpic;

namespace {

// `source` saved as PNG by our encoder and made lossless WebP (colours under
// clear pixels kept); the WebP's path.
std::string LosslessWebp(PxImage& source, const TempDir& dir, const std::string& name) {
    const std::string png = dir / (name + ".png");
    const std::string webp = dir / (name + ".webp");
    if (!SavePng(source, png) || !RunTool("cwebp -quiet -lossless -exact " + png + " -o " + webp))
        return {};
    return webp;
}

bool LoadWebp(PxImage& image, const std::string& path, const PxLoadOptions& options = {}) {
    return image.Load(path.c_str(), PX_FORMAT_WEBP, true, options);
}

// An EXIF block holding only the orientation, big-endian, as the WebP chunk has it.
std::vector<BYTE> ExifOrientation(BYTE orientation) {
    return {'M',  'M',  0, 42, 0, 0, 0, 8,                        // header, first directory at 8
            0,    1,                                              // one entry
            0x01, 0x12, 0, 3,  0, 0, 0, 1, 0, orientation, 0, 0,  // Orientation, SHORT
            0,    0,    0, 0};
}

}  // namespace

TEST(WebpDecode, LosslessPicturesKeepTheirPixels) {
    REQUIRE_TOOLS("cwebp");
    TempDir dir;
    for (const bool withAlpha : {false, true}) {
        PxImage source = Source(37, 23, withAlpha);
        const std::string webp = LosslessWebp(source, dir, withAlpha ? "alpha" : "opaque");
        ASSERT_FALSE(webp.empty());
        PxImage image;
        ASSERT_TRUE(LoadWebp(image, webp)) << image.GetLastError();
        EXPECT_EQ(image.GetBpp(), 24);
        EXPECT_EQ(image.HasAlpha(), withAlpha);
        EXPECT_TRUE(SamePixels(image, source)) << (withAlpha ? "with alpha" : "opaque");
    }
}

TEST(WebpDecode, LossyPictureComesCloseToItsSource) {
    REQUIRE_TOOLS("cwebp");
    TempDir dir;
    PxImage source = Source(64, 32, false);
    ASSERT_TRUE(SavePng(source, dir / "s.png"));
    ASSERT_TRUE(RunTool("cwebp -quiet -q 100 " + (dir / "s.png") + " -o " + (dir / "s.webp")));
    PxImage image;
    ASSERT_TRUE(LoadWebp(image, dir / "s.webp")) << image.GetLastError();
    EXPECT_FALSE(image.HasAlpha());
    ASSERT_EQ(image.GetWidth() * 10000 + image.GetHeight(), 64u * 10000 + 32);
    long total = 0;
    for (LONG y = 0; y < 32; ++y) {
        for (LONG x = 0; x < 64; ++x) {
            const RGBQUAD a = image.GetPixelColor(x, y);
            const RGBQUAD b = source.GetPixelColor(x, y);
            total += std::abs(a.rgbRed - b.rgbRed) + std::abs(a.rgbGreen - b.rgbGreen) +
                     std::abs(a.rgbBlue - b.rgbBlue);
        }
    }
    // Rows upside down or channels swapped would be far off.
    EXPECT_LT(total / (64 * 32 * 3), 6);
}

TEST(WebpDecode, AnimationGivesItsFirstFrame) {
    REQUIRE_TOOLS("img2webp");
    TempDir dir;
    PxImage first = Source(30, 20, true);
    PxImage second = Source(30, 20, false);
    second.Clear(0x80);
    ASSERT_TRUE(SavePng(first, dir / "1.png") && SavePng(second, dir / "2.png"));
    ASSERT_TRUE(RunTool("img2webp -lossless " + (dir / "1.png") + " " + (dir / "2.png") + " -o " +
                        (dir / "anim.webp")));
    PxImage image;
    ASSERT_TRUE(LoadWebp(image, dir / "anim.webp")) << image.GetLastError();
    EXPECT_TRUE(image.HasAlpha());
    EXPECT_EQ(image.GetNumFrames(), 2);
    // The canvas keeps no colour under fully clear pixels.
    for (LONG y = 0; y < 20; ++y)
        for (LONG x = 0; x < 30; ++x)
            if (first.AlphaGet(x, y) == 0) first.SetPixelColor(x, y, image.GetPixelColor(x, y));
    EXPECT_TRUE(SamePixels(image, first));
}

TEST(WebpDecode, ProfileConvertsToSrgbOnlyWhenAsked) {
    REQUIRE_TOOLS("cwebp", "webpmux", "convert");
    if (!std::filesystem::exists(kAdobeRgb) || !std::filesystem::exists(kSrgb))
        GTEST_SKIP() << "no colord profiles";
    TempDir dir;
    PxImage source = Source(40, 24, false);
    const std::string plain = LosslessWebp(source, dir, "plain");
    ASSERT_FALSE(plain.empty());
    const std::string tagged = dir / "tagged.webp";
    ASSERT_TRUE(RunTool("webpmux -set icc " + kAdobeRgb + " " + plain + " -o " + tagged));
    // The reference: the same pixels, tagged, converted by ImageMagick.
    ASSERT_TRUE(RunTool("convert " + (dir / "plain.png") + " -profile " + kAdobeRgb + " -profile " +
                        kSrgb + " " + (dir / "ref.png")));
    PxImage reference;
    ASSERT_TRUE(reference.Load((dir / "ref.png").c_str(), PX_FORMAT_PNG, true));

    PxImage stored;
    ASSERT_TRUE(LoadWebp(stored, tagged)) << stored.GetLastError();
    EXPECT_TRUE(SamePixels(stored, source));
    PxLoadOptions options;
    options.toSrgb = true;
    PxImage converted;
    ASSERT_TRUE(LoadWebp(converted, tagged, options)) << converted.GetLastError();
    EXPECT_TRUE(SamePixels(converted, reference, 3));
    EXPECT_FALSE(SamePixels(converted, source, 8));
}

TEST(WebpDecode, ExifOrientationIsReportedAndTurnedByTheLoader) {
    REQUIRE_TOOLS("cwebp", "webpmux", "convert");
    TempDir dir;
    PxImage source = Source(24, 14, false);
    const std::string plain = LosslessWebp(source, dir, "plain");
    ASSERT_FALSE(plain.empty());
    WriteBytes(dir / "exif.bin", ExifOrientation(6));
    ASSERT_TRUE(RunTool("webpmux -set exif " + (dir / "exif.bin") + " " + plain + " -o " +
                        (dir / "turned.webp")));
    // Orientation 6: the stored picture is shown turned a quarter clockwise.
    ASSERT_TRUE(RunTool("convert " + (dir / "plain.png") + " -rotate 90 " + (dir / "ref.png")));
    PxImage reference;
    ASSERT_TRUE(reference.Load((dir / "ref.png").c_str(), PX_FORMAT_PNG, true));

    auto bytes = ReadBytes(dir / "turned.webp");
    PxImage stored;
    ASSERT_TRUE(DecodeBytes(stored, bytes, PX_FORMAT_WEBP));
    EXPECT_TRUE(SamePixels(stored, source));
    PxLoadOptions options;
    options.upright = true;
    PxImage upright;
    ASSERT_TRUE(LoadWebp(upright, dir / "turned.webp", options)) << upright.GetLastError();
    EXPECT_TRUE(SamePixels(upright, reference));
}

TEST(WebpDecode, MinimumLongerSideDecodesSmallerInProportion) {
    REQUIRE_TOOLS("cwebp");
    TempDir dir;
    PxImage source = Source(200, 100, true);
    const std::string webp = LosslessWebp(source, dir, "big");
    ASSERT_FALSE(webp.empty());
    PxLoadOptions options;
    options.minimumLongerSide = 50;
    PxImage image;
    ASSERT_TRUE(LoadWebp(image, webp, options)) << image.GetLastError();
    EXPECT_EQ(image.GetWidth(), 50u);
    EXPECT_EQ(image.GetHeight(), 25u);
    EXPECT_TRUE(image.HasAlpha());
}

TEST(WebpScaledSize, KeepsTheLongerSideAndTheProportions) {
    int w = 0;
    int h = 0;
    PxWebpScaledSize(4000, 3000, 0, w, h);
    EXPECT_EQ(w * 10000 + h, 4000 * 10000 + 3000);
    PxWebpScaledSize(4000, 3000, 5000, w, h);
    EXPECT_EQ(w * 10000 + h, 4000 * 10000 + 3000);
    PxWebpScaledSize(3000, 4000, 400, w, h);
    EXPECT_EQ(w * 10000 + h, 300 * 10000 + 400);
    PxWebpScaledSize(10000, 3, 100, w, h);  // never thinner than a pixel
    EXPECT_EQ(w * 10000 + h, 100 * 10000 + 1);
}

// The canvas width and height less one, 24 bits each, in the VP8X chunk of a
// file that starts with it.
void SetCanvas(std::vector<BYTE>& file, std::uint32_t width, std::uint32_t height) {
    for (int i = 0; i < 3; ++i) {
        file[24 + i] = static_cast<BYTE>((width - 1) >> (8 * i));
        file[27 + i] = static_cast<BYTE>((height - 1) >> (8 * i));
    }
}

TEST(WebpDecode, DamagedAndOversizedFilesFailWithAMessage) {
    REQUIRE_TOOLS("cwebp", "img2webp");
    TempDir dir;
    PxImage source = Source(64, 48, true);
    const std::string webp = LosslessWebp(source, dir, "s");
    ASSERT_FALSE(webp.empty());
    PxImage other = Source(64, 48, false);
    ASSERT_TRUE(SavePng(other, dir / "o.png"));
    ASSERT_TRUE(RunTool("img2webp -lossless " + (dir / "s.png") + " " + (dir / "o.png") + " -o " +
                        (dir / "anim.webp")));
    const auto whole = ReadBytes(webp);
    const auto anim = ReadBytes(dir / "anim.webp");
    ASSERT_GT(whole.size(), 40u);
    ASSERT_EQ(std::string(anim.begin() + 12, anim.begin() + 16), "VP8X");

    NamedFiles cases;
    cases.emplace_back("truncated",
                       std::vector<BYTE>(whole.begin(), whole.begin() + whole.size() / 2));
    auto garbage = std::vector<BYTE>(whole.begin(), whole.begin() + 20);
    garbage.resize(400, 0xA5);
    cases.emplace_back("garbage after the signature", garbage);
    auto huge = anim;
    SetCanvas(huge, 100000, 100000);
    cases.emplace_back("100000 x 100000 canvas", huge);
    auto large = anim;
    SetCanvas(large, 20000, 20000);  // within the format, past our limit
    cases.emplace_back("20000 x 20000 canvas", large);
    ExpectQuickRefusals(cases, PX_FORMAT_WEBP);
    PxImage image;
    EXPECT_FALSE(DecodeBytes(image, cases[3].second, PX_FORMAT_WEBP));
    EXPECT_STREQ(image.GetLastError(), "WebP image is too large");
}

TEST(FuzzSeeds, Webp) {
    REQUIRE_TOOLS("cwebp", "img2webp");
    TempDir dir;
    const std::string seeds = SeedDir("fuzz_webp", dir);
    PxImage alpha = Source(12, 9, true);
    PxImage opaque = Source(12, 9, false);
    ASSERT_TRUE(SavePng(alpha, dir / "a.png") && SavePng(opaque, dir / "o.png"));
    const std::vector<std::pair<std::string, std::string>> made = {
        {"lossy.webp", "cwebp -quiet -q 50 " + (dir / "o.png")},
        {"lossy_alpha.webp", "cwebp -quiet -q 50 " + (dir / "a.png")},
        {"lossless.webp", "cwebp -quiet -lossless " + (dir / "o.png")},
        {"lossless_alpha.webp", "cwebp -quiet -lossless -exact " + (dir / "a.png")},
        {"animated.webp", "img2webp -lossy " + (dir / "a.png") + " " + (dir / "o.png")},
    };
    for (const auto& [name, command] : made) {
        const std::string path = seeds + "/" + name;
        ASSERT_TRUE(RunTool(command + " -o " + path)) << name;
        PxImage image;
        EXPECT_TRUE(LoadWebp(image, path)) << name << ": " << image.GetLastError();
    }
}
