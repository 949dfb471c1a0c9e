// Embedded ICC profiles converted to sRGB by the JPEG and PNG decoders (load
// option toSrgb): against ImageMagick's conversion of the same file, against
// LittleCMS at full depth for 16-bit files, and with damaged profiles, which
// leave the pixels as stored.
#include <gtest/gtest.h>
#include <lcms2.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "imaging/px_image.h"
#include "imaging/support/icc_profiles.h"
#include "imaging/support/jpeg_reference.h"
#include "imaging/support/metadata_splice.h"
#include "imaging/support/picture_tools.h"
#include "imaging/support/png_builder.h"

namespace {

const std::string kProfiles = "/usr/share/color/icc/colord/";

PxLoadOptions ToSrgb() {
    PxLoadOptions options;
    options.toSrgb = true;
    return options;
}

RgbPicture Decoded(const Bytes& file, DWORD type, const PxLoadOptions& options) {
    PxImage image;
    EXPECT_TRUE(DecodeBytes(file, type, options, image)) << image.GetLastError();
    return ToRgb(image);
}

// Saturated and mid colours, where wide-gamut profiles differ most from sRGB.
PxImage ColourfulPicture() {
    PxImage image;
    image.Create(16, 8, 24, PX_FORMAT_PNG);
    for (LONG y = 0; y < 8; ++y)
        for (LONG x = 0; x < 16; ++x)
            image.SetPixelColor(
                x, y,
                RGBQUAD{static_cast<BYTE>((x * 23 + y * 90) % 256), static_cast<BYTE>(255 - y * 30),
                        static_cast<BYTE>((x * 17) % 256), 0});
    return image;
}

// LittleCMS's own conversion into sRGB doubles, as the decoder's transform is
// set up (perceptual, black point compensation).
std::vector<double> ReferenceToSrgb(cmsHPROFILE from, cmsUInt32Number format, const void* in,
                                    std::size_t count) {
    Profile srgb(cmsCreate_sRGBProfile());
    cmsHTRANSFORM t = cmsCreateTransform(from, format, srgb.get(), TYPE_RGB_DBL, INTENT_PERCEPTUAL,
                                         cmsFLAGS_BLACKPOINTCOMPENSATION);
    std::vector<double> out(count * 3);
    if (!t) return {};
    cmsDoTransform(t, in, out.data(), static_cast<cmsUInt32Number>(count));
    cmsDeleteTransform(t);
    for (double& v : out)
        v = std::clamp(v * 255.0, 0.0, 255.0);
    return out;
}

double MeanDifference(const std::vector<unsigned char>& got, const std::vector<double>& want) {
    if (got.size() != want.size() || got.empty()) return 1e9;
    double sum = 0;
    for (std::size_t i = 0; i < got.size(); ++i)
        sum += std::abs(got[i] - want[i]);
    return sum / static_cast<double>(got.size());
}

Bytes PngWithProfile(const Bytes& png, const Bytes& profile) {
    return InsertPngChunk(png, "iCCP", IccpChunkData(profile));
}

Bytes JpegWithProfile(const Bytes& jpeg, const Bytes& profile, std::size_t piece = 60000) {
    return InsertJpegSegments(jpeg, 0xE2, IccSegments(profile, piece));
}

}  // namespace

// Adobe RGB and ProPhoto files, PNG and JPEG (the JPEG's profile in several APP2
// pieces), against ImageMagick converting the same file to its sRGB profile.
TEST(PxColourProfile, WideGamutFilesMatchImageMagick) {
    if (ImageMagickConvert().empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    if (!std::filesystem::exists(kProfiles + "sRGB.icc"))
        GTEST_SKIP() << "colord's profiles are not installed";
    TempFolder folder;
    PxImage picture = ColourfulPicture();
    const Bytes png = EncodeToBytes(picture, PX_FORMAT_PNG);
    const Bytes jpeg = EncodeToBytes(picture, PX_FORMAT_JPG);
    for (const char* name : {"AdobeRGB1998.icc", "ProPhotoRGB.icc"}) {
        const Bytes profile = ReadBytes(kProfiles + name);
        ASSERT_FALSE(profile.empty()) << name;
        const struct {
            const char* file;
            Bytes bytes;
            DWORD type;
        } files[] = {{"p.png", PngWithProfile(png, profile), PX_FORMAT_PNG},
                     {"p.jpg", JpegWithProfile(jpeg, profile, 200), PX_FORMAT_JPG}};
        for (const auto& f : files) {
            SCOPED_TRACE(std::string(name) + " in " + f.file);
            const std::string path = folder.File(f.file);
            ASSERT_TRUE(WriteBytes(path, f.bytes));
            const auto expected = ImageMagickRgb(path, "-profile " + kProfiles + "sRGB.icc");
            ASSERT_TRUE(expected);
            const RgbPicture converted = Decoded(f.bytes, f.type, ToSrgb());
            EXPECT_LE(MaxDifference(converted, *expected), 3);
            EXPECT_GE(MaxDifference(converted, Decoded(f.bytes, f.type, {})), 20);
        }
    }
}

// A palette file converts its palette; the indices stay.
TEST(PxColourProfile, PalettePngConvertsItsPalette) {
    if (ImageMagickConvert().empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const Bytes profile = ReadBytes(kProfiles + "AdobeRGB1998.icc");
    if (profile.empty()) GTEST_SKIP() << "colord's profiles are not installed";
    PngRecipe r;
    r.width = 4;
    r.height = 2;
    r.bitDepth = 8;
    r.colorType = PNG_COLOR_TYPE_PALETTE;
    r.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {200, 120, 40}};
    r.rows = {{0, 1, 2, 3}, {3, 2, 1, 0}};
    const Bytes file = PngWithProfile(WritePngDirectly(r), profile);
    TempFolder folder;
    ASSERT_TRUE(WriteBytes(folder.File("p.png"), file));
    const auto expected =
        ImageMagickRgb(folder.File("p.png"), "-profile " + kProfiles + "sRGB.icc");
    ASSERT_TRUE(expected);
    PxImage image;
    ASSERT_TRUE(DecodeBytes(file, PX_FORMAT_PNG, ToSrgb(), image));
    EXPECT_EQ(image.GetBpp(), 8);
    EXPECT_LE(MaxDifference(ToRgb(image), *expected), 3);
}

// Grey files with a grey profile stay 8-bit pictures with a converted ramp.
TEST(PxColourProfile, GreyFilesConvertTheirRamp) {
    const Profile grey = LinearGrey();
    const Bytes profile = SaveProfile(grey.get());
    ASSERT_FALSE(profile.empty());
    std::vector<unsigned char> levels;
    for (int i = 0; i < 16; ++i)
        levels.push_back(static_cast<unsigned char>(i * 17));
    const std::vector<double> want =
        ReferenceToSrgb(grey.get(), TYPE_GRAY_8, levels.data(), levels.size());

    PngRecipe r;
    r.width = 16;
    r.colorType = PNG_COLOR_TYPE_GRAY;
    r.rows = {levels};
    JpegPicture jp;
    jp.width = 16;
    jp.height = 1;
    jp.components = 1;
    jp.samples = levels;
    const struct {
        const char* what;
        Bytes bytes;
        DWORD type;
        double tolerance;  // JPEG moves a grey level by one or two
    } files[] = {{"png", PngWithProfile(WritePngDirectly(r), profile), PX_FORMAT_PNG, 1.0},
                 {"jpeg", JpegWithProfile(WriteJpegDirectly(jp, JCS_GRAYSCALE, 100), profile),
                  PX_FORMAT_JPG, 6}};
    for (const auto& f : files) {
        SCOPED_TRACE(f.what);
        PxImage image;
        ASSERT_TRUE(DecodeBytes(f.bytes, f.type, ToSrgb(), image));
        EXPECT_EQ(image.GetBpp(), 8);
        const RgbPicture got = ToRgb(image);
        for (std::size_t i = 0; i < got.rgb.size(); ++i)
            EXPECT_NEAR(got.rgb[i], want[i], f.tolerance) << "sample " << i;
    }
}

namespace {

// 32 x 16 linear-light samples in the shadows, big-endian as PNG stores them.
struct DeepPicture {
    std::vector<std::uint16_t> samples;  // `channels` a pixel, top row first
    PngRecipe recipe;
};

DeepPicture ShadowPicture(int colorType, bool interlaced) {
    DeepPicture p;
    const int channels = colorType == PNG_COLOR_TYPE_RGB    ? 3
                         : colorType == PNG_COLOR_TYPE_GRAY ? 1
                                                            : 4;
    p.recipe.width = 32;
    p.recipe.height = 16;
    p.recipe.bitDepth = 16;
    p.recipe.colorType = colorType;
    p.recipe.interlaced = interlaced;
    for (int y = 0; y < 16; ++y) {
        std::vector<png_byte> row;
        for (int x = 0; x < 32; ++x) {
            const std::uint16_t values[4] = {static_cast<std::uint16_t>(x * 64 + y * 8),
                                             static_cast<std::uint16_t>((31 - x) * 48 + y * 16),
                                             static_cast<std::uint16_t>((x * y * 5) % 2048),
                                             static_cast<std::uint16_t>(x < 16 ? 65535 : 0)};
            for (int c = 0; c < channels; ++c) {
                p.samples.push_back(values[c]);
                row.push_back(static_cast<png_byte>(values[c] >> 8));
                row.push_back(static_cast<png_byte>(values[c] & 0xFF));
            }
        }
        p.recipe.rows.push_back(row);
    }
    return p;
}

}  // namespace

// 16-bit linear files convert from their full depth: within 1/255 on average of
// LittleCMS at full depth, and clearly better in the shadows than converting
// after a reduction to 8 bits would be.
TEST(PxColourProfile, SixteenBitLinearConvertsAtFullDepth) {
    const Profile linear = LinearRec2020();
    const Bytes profile = SaveProfile(linear.get());
    ASSERT_FALSE(profile.empty());
    for (bool interlaced : {false, true}) {
        SCOPED_TRACE(interlaced ? "interlaced" : "sequential");
        const DeepPicture p = ShadowPicture(PNG_COLOR_TYPE_RGB, interlaced);
        const Bytes file = PngWithProfile(WritePngDirectly(p.recipe), profile);
        ASSERT_FALSE(file.empty());
        const std::size_t count = p.samples.size() / 3;
        const std::vector<double> want =
            ReferenceToSrgb(linear.get(), TYPE_RGB_16, p.samples.data(), count);
        std::vector<unsigned char> reduced;
        for (std::uint16_t v : p.samples)
            reduced.push_back(static_cast<unsigned char>(v >> 8));
        const std::vector<double> viaEightBits =
            ReferenceToSrgb(linear.get(), TYPE_RGB_8, reduced.data(), count);
        std::vector<unsigned char> roundedEight;
        for (double v : viaEightBits)
            roundedEight.push_back(static_cast<unsigned char>(std::lround(v)));

        const RgbPicture got = Decoded(file, PX_FORMAT_PNG, ToSrgb());
        const double ours = MeanDifference(got.rgb, want);
        const double eightBit = MeanDifference(roundedEight, want);
        EXPECT_LE(ours, 1.0);
        EXPECT_GE(eightBit, 3 * ours + 1.0) << "ours " << ours;
    }
}

// The other 16-bit layouts: grey with alpha keeps its alpha; RGBA is composited
// over grey 192 of the file's own space before the conversion, as 8-bit files are.
TEST(PxColourProfile, SixteenBitAlphaLayouts) {
    const Profile grey = LinearGrey();
    const Profile rgb = LinearRec2020();
    {
        SCOPED_TRACE("grey and alpha");
        DeepPicture p = ShadowPicture(PNG_COLOR_TYPE_GRAY_ALPHA, false);
        // Grey and alpha take the first two of each pixel's four values.
        std::vector<std::uint16_t> greys, alphas;
        for (int y = 0; y < 16; ++y) {
            std::vector<png_byte>& row = p.recipe.rows[static_cast<std::size_t>(y)];
            row.clear();
            for (int x = 0; x < 32; ++x) {
                const auto g = static_cast<std::uint16_t>(x * 64 + y * 8);
                const auto a = static_cast<std::uint16_t>(x * 2000 + y);
                greys.push_back(g);
                alphas.push_back(a);
                row.insert(row.end(), {static_cast<png_byte>(g >> 8), static_cast<png_byte>(g),
                                       static_cast<png_byte>(a >> 8), static_cast<png_byte>(a)});
            }
        }
        const Bytes file = PngWithProfile(WritePngDirectly(p.recipe), SaveProfile(grey.get()));
        PxImage image;
        ASSERT_TRUE(DecodeBytes(file, PX_FORMAT_PNG, ToSrgb(), image));
        ASSERT_TRUE(image.HasAlpha());
        const std::vector<double> want =
            ReferenceToSrgb(grey.get(), TYPE_GRAY_16, greys.data(), greys.size());
        EXPECT_LE(MeanDifference(ToRgb(image).rgb, want), 1.0);
        for (LONG y = 0; y < 16; ++y)
            for (LONG x = 0; x < 32; ++x)
                ASSERT_EQ(image.AlphaGet(x, 15 - y),
                          alphas[static_cast<std::size_t>(y * 32 + x)] >> 8);
    }
    {
        SCOPED_TRACE("RGBA");
        const DeepPicture p = ShadowPicture(PNG_COLOR_TYPE_RGB_ALPHA, false);
        const Bytes file = PngWithProfile(WritePngDirectly(p.recipe), SaveProfile(rgb.get()));
        PxImage image;
        ASSERT_TRUE(DecodeBytes(file, PX_FORMAT_PNG, ToSrgb(), image));
        std::vector<std::uint16_t> composited;
        for (std::size_t i = 0; i < p.samples.size(); i += 4)
            for (int c = 0; c < 3; ++c)
                composited.push_back(p.samples[i + 3] ? p.samples[i + static_cast<std::size_t>(c)]
                                                      : 192 * 257);
        const std::vector<double> want =
            ReferenceToSrgb(rgb.get(), TYPE_RGB_16, composited.data(), composited.size() / 3);
        EXPECT_LE(MeanDifference(ToRgb(image).rgb, want), 1.0);
        const RGBQUAD background = image.GetPixelColor(31, 0);
        EXPECT_NEAR(background.rgbRed, want[want.size() - 3], 1.0);
    }
}

namespace {

struct Damage {
    const char* what;
    Bytes profile;
};

std::uint32_t BigEndian32(const Bytes& b, std::size_t at) {
    return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 |
           std::uint32_t{b[at + 2]} << 8 | b[at + 3];
}

void PutBigEndian32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

std::vector<Damage> DamagedProfiles(const Bytes& good) {
    std::vector<Damage> out;
    out.push_back({"cut to its header", Bytes(good.begin(), good.begin() + 132)});
    out.push_back({"cut in its tags",
                   Bytes(good.begin(), good.begin() + static_cast<long>(good.size() / 2))});
    out.push_back({"cut short of a header", Bytes(good.begin(), good.begin() + 100)});
    Bytes outside = good;
    const std::uint32_t tags = BigEndian32(good, 128);
    for (std::uint32_t i = 0; i < tags && 132 + 12 * i + 12 <= outside.size(); ++i)
        PutBigEndian32(outside, 132 + 12 * i + 4, 0x7FFFFF00u);
    out.push_back({"tags outside", outside});
    Bytes manyTags = good;
    PutBigEndian32(manyTags, 128, 0xFFFFFFF0u);
    out.push_back({"absurd tag count", manyTags});
    Bytes hugeSize = good;
    PutBigEndian32(hugeSize, 0, 0xFFFFFFF0u);
    out.push_back({"absurd size", hugeSize});
    Bytes garbage = good;
    for (std::size_t i = 132; i < garbage.size(); ++i)
        garbage[i] = static_cast<unsigned char>(i * 37);
    out.push_back({"garbage tags", garbage});
    out.push_back({"grey profile on colour", SaveProfile(LinearGrey().get())});
    return out;
}

}  // namespace

// A damaged or unsuitable profile is taken as sRGB: the decode succeeds with the
// stored pixels. So does a file whose profile is ignored because the option is off.
TEST(PxColourProfile, DamagedProfilesLeavePixelsAsStored) {
    const Bytes good = SaveProfile(LinearRec2020().get());
    ASSERT_GT(good.size(), 200u);
    PxImage picture = ColourfulPicture();
    const Bytes png = EncodeToBytes(picture, PX_FORMAT_PNG);
    const Bytes jpeg = EncodeToBytes(picture, PX_FORMAT_JPG);
    const RgbPicture storedPng = Decoded(png, PX_FORMAT_PNG, {});
    const RgbPicture storedJpeg = Decoded(jpeg, PX_FORMAT_JPG, {});
    EXPECT_EQ(Decoded(PngWithProfile(png, good), PX_FORMAT_PNG, {}).rgb, storedPng.rgb);
    EXPECT_EQ(Decoded(JpegWithProfile(jpeg, good), PX_FORMAT_JPG, {}).rgb, storedJpeg.rgb);
    EXPECT_NE(Decoded(PngWithProfile(png, good), PX_FORMAT_PNG, ToSrgb()).rgb, storedPng.rgb);

    for (const Damage& d : DamagedProfiles(good)) {
        SCOPED_TRACE(d.what);
        EXPECT_EQ(Decoded(PngWithProfile(png, d.profile), PX_FORMAT_PNG, ToSrgb()).rgb,
                  storedPng.rgb);
        EXPECT_EQ(Decoded(JpegWithProfile(jpeg, d.profile), PX_FORMAT_JPG, ToSrgb()).rgb,
                  storedJpeg.rgb);
    }
    // APP2 pieces that do not add up: one missing, or numbered past their count.
    std::vector<Bytes> pieces = IccSegments(good, 100);
    ASSERT_GT(pieces.size(), 2u);
    std::vector<Bytes> missing = pieces;
    missing.erase(missing.begin() + 1);
    std::vector<Bytes> misnumbered = pieces;
    misnumbered.back()[12] = 200;
    for (const auto& set : {missing, misnumbered})
        EXPECT_EQ(Decoded(InsertJpegSegments(jpeg, 0xE2, set), PX_FORMAT_JPG, ToSrgb()).rgb,
                  storedJpeg.rgb);
}

namespace {

// The file without its segments of the given APPn marker.
Bytes WithoutSegment(const Bytes& jpeg, int marker) {
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    std::size_t at = 2;
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF && jpeg[at + 1] != 0xDA) {
        const std::size_t length = std::size_t{jpeg[at + 2]} << 8 | jpeg[at + 3];
        if (jpeg[at + 1] != marker)
            out.insert(out.end(), jpeg.begin() + static_cast<long>(at),
                       jpeg.begin() + static_cast<long>(at + 2 + length));
        at += 2 + length;
    }
    out.insert(out.end(), jpeg.begin() + static_cast<long>(at), jpeg.end());
    return out;
}

}  // namespace

// CMYK files convert through their profile: with Adobe's marker the samples are
// inverted (255 no ink), without it they are ink as stored.
TEST(PxColourProfile, CmykJpegConvertsThroughItsProfile) {
    const Profile cmyk = SimpleCmyk();
    const Bytes profile = SaveProfile(cmyk.get());
    ASSERT_FALSE(profile.empty());
    JpegPicture jp;
    jp.width = 16;
    jp.height = 8;
    jp.components = 4;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            jp.samples.insert(
                jp.samples.end(),
                {static_cast<unsigned char>(x * 16), static_cast<unsigned char>(y * 32),
                 static_cast<unsigned char>(255 - x * 8), static_cast<unsigned char>(200 + y * 5)});
    const Bytes adobe = WriteJpegDirectly(jp, JCS_CMYK, 95);
    ASSERT_FALSE(adobe.empty());
    for (bool inverted : {true, false}) {
        SCOPED_TRACE(inverted ? "Adobe marker" : "no Adobe marker");
        const Bytes file = JpegWithProfile(inverted ? adobe : WithoutSegment(adobe, 0xEE), profile);
        const auto samples = DecodeJpegDirectly(file);
        ASSERT_TRUE(samples && samples->components == 4);
        std::vector<unsigned char> ink = samples->samples;
        if (inverted)
            for (unsigned char& v : ink)
                v = static_cast<unsigned char>(255 - v);
        const std::vector<double> want =
            ReferenceToSrgb(cmyk.get(), TYPE_CMYK_8, ink.data(), ink.size() / 4);
        const RgbPicture got = Decoded(file, PX_FORMAT_JPG, ToSrgb());
        EXPECT_LE(MeanDifference(got.rgb, want), 1.0);
        EXPECT_GE(MaxDifference(got, Decoded(file, PX_FORMAT_JPG, {})), 20);
    }
}
