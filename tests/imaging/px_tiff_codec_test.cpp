#include "imaging/px_tiff_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/px_image.h"
#include "imaging/px_load_options.h"
#include "support/tool_pictures.h"

using namespace toolpic;

namespace {

enum class Kind { Colour, FewColours, Grey, Bilevel, Alpha, StrongAlpha };

PxImage SourceOf(Kind kind) {
    PxImage image = Source(33, 21, kind == Kind::Alpha || kind == Kind::StrongAlpha);
    for (LONG y = 0; y < 21; ++y) {
        for (LONG x = 0; x < 33; ++x) {
            const int level = (x * 7 + y * 3) % 256;
            if (kind == Kind::FewColours)
                image.SetPixelColor(x, y, RGB((x / 4) * 30, (y / 4) * 40, 200));
            if (kind == Kind::Grey) image.SetPixelColor(x, y, RGB(level, level, level));
            if (kind == Kind::Bilevel)
                image.SetPixelColor(x, y, (x + y) % 3 ? RGB(255, 255, 255) : RGB(0, 0, 0));
            // Colours survive premultiplying only where alpha leaves enough of them.
            if (kind == Kind::StrongAlpha)
                image.AlphaSet(x, y, static_cast<BYTE>(128 + x * 127 / 32));
        }
    }
    return image;
}

struct Variant {
    const char* name;
    Kind kind;
    const char* convert;  // ImageMagick options from the PNG
    const char* tiffcp;   // then tiffcp options, when any
    int tolerance;
};

const Variant kVariants[] = {
    {"rgb", Kind::Colour, "-type TrueColor -compress none", nullptr, 0},
    {"rgb_lzw", Kind::Colour, "-type TrueColor -compress lzw", nullptr, 0},
    {"rgb_deflate", Kind::Colour, "-type TrueColor -compress zip", nullptr, 0},
    {"rgb_tiled", Kind::Colour, "-type TrueColor", "-t -w 16 -l 16 -c lzw", 0},
    {"rgb_16", Kind::Colour, "-type TrueColor -depth 16", nullptr, 0},
    {"rgb_16_tiled", Kind::Colour, "-type TrueColor -depth 16", "-t -w 16 -l 16 -c zip", 0},
    {"rgb_planes", Kind::Colour, "-type TrueColor -interlace plane", nullptr, 0},
    {"rgb_packbits", Kind::Colour, "-type TrueColor -compress rle", nullptr, 0},
    {"palette", Kind::FewColours, "-type Palette", nullptr, 0},
    {"palette_tiled", Kind::FewColours, "-type Palette", "-t -w 16 -l 16", 0},
    {"grey", Kind::Grey, "-type Grayscale", nullptr, 0},
    {"grey_16", Kind::Grey, "-type Grayscale -depth 16", nullptr, 0},
    {"grey_min_is_white", Kind::Grey, "-type Grayscale -define tiff:photometric=min-is-white",
     nullptr, 0},
    {"bilevel", Kind::Bilevel, "-type Bilevel -depth 1", nullptr, 0},
    {"bilevel_g4", Kind::Bilevel, "-type Bilevel -compress group4", nullptr, 0},
    {"rgba", Kind::Alpha, "-type TrueColorAlpha", nullptr, 0},
    {"rgba_16_tiled", Kind::Alpha, "-type TrueColorAlpha -depth 16", "-t -w 16 -l 16", 0},
    {"rgba_associated", Kind::StrongAlpha, "-type TrueColorAlpha -define tiff:alpha=associated",
     nullptr, 2},
    {"cmyk", Kind::Colour, "-colorspace cmyk", nullptr, 2},
    {"cmyk_16", Kind::Colour, "-colorspace cmyk -depth 16", nullptr, 2},
};

// `variant` made from `source`; the TIFF's path, empty when a tool failed.
std::string MakeTiff(PxImage& source, const Variant& variant, const TempDir& dir) {
    const std::string png = dir / (std::string(variant.name) + ".png");
    const std::string made = dir / (std::string(variant.name) + "_im.tif");
    const std::string tiff = dir / (std::string(variant.name) + ".tif");
    if (!SavePng(source, png) ||
        !RunTool("convert " + png + " " + variant.convert + " " + (variant.tiffcp ? made : tiff)))
        return {};
    if (variant.tiffcp &&
        !RunTool(std::string("tiffcp ") + variant.tiffcp + " " + made + " " + tiff))
        return {};
    return tiff;
}

bool LoadTiff(PxImage& image, const std::string& path, const PxLoadOptions& options = {}) {
    return image.Load(path.c_str(), PX_FORMAT_TIFF, true, options);
}

std::uint32_t Le32(const std::vector<BYTE>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t{b[at + 3]} << 24;
}

}  // namespace

TEST(TiffDecode, EveryVariantGivesTheSourcePixels) {
    REQUIRE_TOOLS("convert", "tiffcp");
    TempDir dir;
    for (const Variant& variant : kVariants) {
        PxImage source = SourceOf(variant.kind);
        const std::string tiff = MakeTiff(source, variant, dir);
        ASSERT_FALSE(tiff.empty()) << variant.name;
        PxImage image;
        ASSERT_TRUE(LoadTiff(image, tiff)) << variant.name << ": " << image.GetLastError();
        EXPECT_TRUE(SamePixels(image, source, variant.tolerance)) << variant.name;
    }
}

TEST(TiffDecode, DepthFollowsTheStoredSamples) {
    REQUIRE_TOOLS("convert", "tiffcp");
    TempDir dir;
    const std::pair<const char*, WORD> expected[] = {
        {"bilevel", 1}, {"grey", 8}, {"palette", 8}, {"rgb", 24}, {"rgba", 24}};
    for (const auto& [name, bpp] : expected) {
        for (const Variant& variant : kVariants) {
            if (std::strcmp(variant.name, name) != 0) continue;
            PxImage source = SourceOf(variant.kind);
            PxImage image;
            ASSERT_TRUE(LoadTiff(image, MakeTiff(source, variant, dir))) << name;
            EXPECT_EQ(image.GetBpp(), bpp) << name;
            EXPECT_EQ(image.HasAlpha(), variant.kind == Kind::Alpha) << name;
        }
    }
}

TEST(TiffDecode, OrientationTagIsReportedAndTurnedByTheLoader) {
    REQUIRE_TOOLS("convert", "tiffset");
    TempDir dir;
    PxImage source = SourceOf(Kind::Colour);
    ASSERT_TRUE(SavePng(source, dir / "s.png"));
    for (const int orientation : {3, 6, 8}) {
        const std::string tiff = dir / "o.tif";
        ASSERT_TRUE(RunTool("convert " + (dir / "s.png") + " -type TrueColor " + tiff));
        ASSERT_TRUE(RunTool("tiffset -s 274 " + std::to_string(orientation) + " " + tiff));
        ASSERT_TRUE(RunTool("convert " + tiff + " -auto-orient " + (dir / "ref.png")));
        PxImage reference;
        ASSERT_TRUE(reference.Load((dir / "ref.png").c_str(), PX_FORMAT_PNG, true));
        PxImage stored;
        ASSERT_TRUE(LoadTiff(stored, tiff));
        EXPECT_TRUE(SamePixels(stored, source)) << orientation;
        PxLoadOptions options;
        options.upright = true;
        PxImage upright;
        ASSERT_TRUE(LoadTiff(upright, tiff, options)) << upright.GetLastError();
        EXPECT_TRUE(SamePixels(upright, reference)) << orientation;
    }
}

TEST(TiffDecode, ProfileConvertsSixteenBitSamplesToSrgb) {
    REQUIRE_TOOLS("convert");
    if (!std::filesystem::exists(kAdobeRgb) || !std::filesystem::exists(kSrgb))
        GTEST_SKIP() << "no colord profiles";
    TempDir dir;
    PxImage source = SourceOf(Kind::Colour);
    ASSERT_TRUE(SavePng(source, dir / "s.png"));
    const std::string tiff = dir / "tagged.tif";
    ASSERT_TRUE(RunTool("convert " + (dir / "s.png") + " -profile " + kAdobeRgb +
                        " -type TrueColor -depth 16 " + tiff));
    ASSERT_TRUE(RunTool("convert " + (dir / "s.png") + " -profile " + kAdobeRgb + " -profile " +
                        kSrgb + " " + (dir / "ref.png")));
    PxImage reference;
    ASSERT_TRUE(reference.Load((dir / "ref.png").c_str(), PX_FORMAT_PNG, true));
    PxImage stored;
    ASSERT_TRUE(LoadTiff(stored, tiff));
    EXPECT_TRUE(SamePixels(stored, source));
    PxLoadOptions options;
    options.toSrgb = true;
    PxImage converted;
    ASSERT_TRUE(LoadTiff(converted, tiff, options)) << converted.GetLastError();
    // The colour engine's 16-bit pipeline clips colours outside sRGB some levels
    // away from its 8-bit one, which made the reference: colours inside agree.
    int inside = 0;
    int agreeing = 0;
    for (LONG y = 0; y < static_cast<LONG>(reference.GetHeight()); ++y) {
        for (LONG x = 0; x < static_cast<LONG>(reference.GetWidth()); ++x) {
            const RGBQUAD want = reference.GetPixelColor(x, y);
            const RGBQUAD got = converted.GetPixelColor(x, y);
            if (std::min({want.rgbRed, want.rgbGreen, want.rgbBlue}) < 8) continue;
            ++inside;
            agreeing += std::abs(want.rgbRed - got.rgbRed) <= 3 &&
                        std::abs(want.rgbGreen - got.rgbGreen) <= 3 &&
                        std::abs(want.rgbBlue - got.rgbBlue) <= 3;
        }
    }
    EXPECT_GT(inside, 300);
    EXPECT_GE(agreeing * 100, inside * 98);
    EXPECT_FALSE(SamePixels(converted, source, 8));
}

TEST(TiffDecode, ResolutionInCentimetresBecomesDotsPerInch) {
    REQUIRE_TOOLS("convert");
    TempDir dir;
    PxImage source = SourceOf(Kind::Grey);
    ASSERT_TRUE(SavePng(source, dir / "s.png"));
    ASSERT_TRUE(RunTool("convert " + (dir / "s.png") +
                        " -units PixelsPerCentimeter -density 100x50 " + (dir / "r.tif")));
    PxImage image;
    ASSERT_TRUE(LoadTiff(image, dir / "r.tif"));
    EXPECT_EQ(image.GetXDPI(), 254);
    EXPECT_EQ(image.GetYDPI(), 127);
}

// A little-endian file of one 8-bit grey strip whose header claims the given size.
std::vector<BYTE> GreyHeader(std::uint32_t width, std::uint32_t height) {
    std::vector<BYTE> b = {'I', 'I', 42, 0, 8, 0, 0, 0, 7, 0};
    auto entry = [&b](std::uint16_t tag, std::uint16_t type, std::uint32_t value) {
        const BYTE e[12] = {
            BYTE(tag),        BYTE(tag >> 8),    BYTE(type),       0, 1, 0, 0, 0, BYTE(value),
            BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
        b.insert(b.end(), e, e + 12);
    };
    entry(256, 4, width);
    entry(257, 4, height);
    entry(258, 3, 8);
    entry(262, 3, 1);
    entry(273, 4, 100);  // strip offset
    entry(278, 4, height);
    entry(279, 4, 16);  // strip bytes
    b.resize(b.size() + 4, 0);
    b.resize(116, 0x7F);
    return b;
}

TEST(TiffDecode, DamagedAndOversizedFilesFailWithAMessage) {
    REQUIRE_TOOLS("convert");
    TempDir dir;
    PxImage source = SourceOf(Kind::Colour);
    ASSERT_TRUE(SavePng(source, dir / "s.png"));
    ASSERT_TRUE(RunTool("convert " + (dir / "s.png") + " -type TrueColor -compress lzw " +
                        (dir / "s.tif")));
    const auto whole = ReadBytes(dir / "s.tif");
    auto small = GreyHeader(4, 4);
    PxImage check;
    ASSERT_TRUE(DecodeBytes(check, small, PX_FORMAT_TIFF)) << check.GetLastError();

    NamedFiles cases;
    cases.emplace_back("truncated", std::vector<BYTE>(whole.begin(), whole.begin() + 300));
    cases.emplace_back("header only", std::vector<BYTE>(whole.begin(), whole.begin() + 8));
    auto garbage = std::vector<BYTE>(whole.begin(), whole.begin() + 4);
    garbage.resize(600, 0xA5);
    cases.emplace_back("garbage after the signature", garbage);
    cases.emplace_back("100000 x 100000", GreyHeader(100000, 100000));
    ExpectQuickRefusals(cases, PX_FORMAT_TIFF);
    PxImage image;
    EXPECT_FALSE(DecodeBytes(image, cases[3].second, PX_FORMAT_TIFF));
    EXPECT_STREQ(image.GetLastError(), "TIFF image is too large");
}

// Only the first page is read: a second page of garbage leaves it whole.
TEST(TiffDecode, BrokenSecondPageLeavesTheFirst) {
    REQUIRE_TOOLS("convert");
    TempDir dir;
    PxImage first = SourceOf(Kind::Colour);
    PxImage second = SourceOf(Kind::Grey);
    ASSERT_TRUE(SavePng(first, dir / "1.png") && SavePng(second, dir / "2.png"));
    ASSERT_TRUE(RunTool("convert " + (dir / "1.png") + " " + (dir / "2.png") + " -type TrueColor " +
                        (dir / "two.tif")));
    auto bytes = ReadBytes(dir / "two.tif");
    ASSERT_EQ(bytes[0], 'I');
    const std::uint32_t ifd = Le32(bytes, 4);
    const std::uint32_t count = bytes[ifd] | bytes[ifd + 1] << 8;
    const std::uint32_t next = Le32(bytes, ifd + 2 + 12 * count);
    ASSERT_GT(next, 0u);
    for (std::size_t i = next; i < std::min<std::size_t>(bytes.size(), next + 200); ++i)
        bytes[i] = static_cast<BYTE>(0xC3 ^ i);
    PxImage image;
    ASSERT_TRUE(DecodeBytes(image, bytes, PX_FORMAT_TIFF)) << image.GetLastError();
    EXPECT_TRUE(SamePixels(image, first));
}

TEST(FuzzSeeds, Tiff) {
    REQUIRE_TOOLS("convert", "tiffcp");
    TempDir dir;
    const std::string seeds = SeedDir("fuzz_tiff", dir);
    for (const Variant& variant : kVariants) {
        PxImage source = SourceOf(variant.kind);
        const std::string made = MakeTiff(source, variant, dir);
        ASSERT_FALSE(made.empty()) << variant.name;
        const std::string seed = seeds + "/" + variant.name + ".tif";
        std::filesystem::copy_file(made, seed, std::filesystem::copy_options::overwrite_existing);
        PxImage image;
        EXPECT_TRUE(LoadTiff(image, seed)) << variant.name << ": " << image.GetLastError();
    }
    // A lossy page, whose YCbCr the JPEG codec turns into RGB.
    PxImage colour = SourceOf(Kind::Colour);
    ASSERT_TRUE(SavePng(colour, dir / "j.png"));
    const std::string jpeg = seeds + "/rgb_jpeg.tif";
    ASSERT_TRUE(RunTool("convert " + (dir / "j.png") + " -type TrueColor -compress jpeg " + jpeg));
    PxImage image;
    ASSERT_TRUE(LoadTiff(image, jpeg)) << image.GetLastError();
    EXPECT_TRUE(SamePixels(image, colour, 64));
}
