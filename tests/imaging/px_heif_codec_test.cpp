// HEIF, HEIC and AVIF decoding, on files heif-enc makes at test time from PNGs
// our own encoder writes; where a file needs a feature heif-enc cannot write, its
// boxes are edited here.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "imaging/px_image.h"
#include "imaging/px_mem_file.h"
#include "imaging/px_message.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<BYTE>;

bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

bool HaveTool(const char* name) {
    return Shell(std::string("command -v ") + name);
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A folder of its own for each test, gone afterwards.
class TempFolder {
public:
    TempFolder() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() /
                ("ostrel_heif_" + std::string(test->name()) + std::to_string(::getpid()));
        fs::create_directories(path_);
    }
    ~TempFolder() { fs::remove_all(path_); }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

// Smooth ramps, the kind of content lossy codecs keep well; the alpha runs from
// clear to opaque across the picture.
PxImage Pattern(DWORD w, DWORD h, bool alpha) {
    PxImage image(w, h, 24);
    if (alpha) image.AlphaCreate();
    for (LONG y = 0; y < LONG(h); ++y) {
        for (LONG x = 0; x < LONG(w); ++x) {
            const BYTE r = BYTE(x * 255 / LONG(w - 1));
            const BYTE g = BYTE(y * 255 / LONG(h - 1));
            const BYTE b = BYTE(255 - x * y * 255 / LONG((w - 1) * (h - 1)));
            image.SetPixelColor(x, y, RGBQUAD{b, g, r, 0});
            if (alpha) image.AlphaSet(x, y, BYTE((x + y) * 255 / LONG(w + h - 2)));
        }
    }
    return image;
}

bool WritePng(PxImage& image, const fs::path& path) {
    BYTE* buffer = nullptr;
    LONG size = 0;
    if (!image.Encode(buffer, size, PX_FORMAT_PNG)) return false;
    WriteFile(path, Bytes(buffer, buffer + size));
    std::free(buffer);
    return true;
}

// heif-enc's output for `png` with `args`; empty when it cannot write it.
Bytes HeifEnc(const fs::path& png, const std::string& args, const fs::path& out) {
    if (!Shell("heif-enc " + args + " -o '" + out.string() + "' '" + png.string() + "'")) return {};
    return ReadFile(out);
}

Bytes EncodePattern(const TempFolder& dir, PxImage source, const std::string& args) {
    if (!WritePng(source, dir / "source.png")) return {};
    return HeifEnc(dir / "source.png", args, dir / "out.heif");
}

struct Decoded {
    bool ok = false;
    PxImage image;
};

Decoded Decode(const Bytes& bytes, PxLoadOptions options = {}) {
    Decoded d;
    PxMemFile file(const_cast<BYTE*>(bytes.data()), DWORD(bytes.size()));
    d.ok = d.image.Decode(&file, PX_FORMAT_HEIF, options);
    return d;
}

PxLoadOptions Upright() {
    PxLoadOptions options;
    options.upright = true;
    return options;
}

// The largest channel difference between two pictures of one size, alpha included.
int MaxDifference(const PxImage& a, const PxImage& b) {
    int worst = 0;
    for (LONG y = 0; y < LONG(a.GetHeight()); ++y) {
        for (LONG x = 0; x < LONG(a.GetWidth()); ++x) {
            const RGBQUAD p = a.GetPixelColor(x, y), q = b.GetPixelColor(x, y);
            worst = std::max({worst, std::abs(p.rgbRed - q.rgbRed),
                              std::abs(p.rgbGreen - q.rgbGreen), std::abs(p.rgbBlue - q.rgbBlue)});
            if (a.HasAlpha() && b.HasAlpha())
                worst = std::max(worst, std::abs(a.AlphaGet(x, y) - b.AlphaGet(x, y)));
        }
    }
    return worst;
}

// Offset of the box of type `type` (its size field), the first one after `from`.
std::optional<std::size_t> FindBox(const Bytes& bytes, const char* type, std::size_t from = 0) {
    for (std::size_t i = std::max<std::size_t>(from, 4); i + 4 <= bytes.size(); ++i)
        if (std::equal(type, type + 4, bytes.begin() + long(i))) return i - 4;
    return std::nullopt;
}

void PutBig32(Bytes& bytes, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = BYTE(v >> (24 - 8 * i));
}

// Every image's stored size ('ispe') set to w x h.
void SetStoredSizes(Bytes& bytes, std::uint32_t w, std::uint32_t h) {
    for (auto at = FindBox(bytes, "ispe"); at; at = FindBox(bytes, "ispe", *at + 8)) {
        PutBig32(bytes, *at + 12, w);
        PutBig32(bytes, *at + 16, h);
    }
}

// heif-enc writes no rotation; its 'pixi' property, which decoding does without,
// becomes an 'irot' of the same length (the bytes past the angle are skipped), so
// the primary image turns by `quarters` x 90 degrees anticlockwise.
bool AddRotation(Bytes& bytes, BYTE quarters) {
    const auto at = FindBox(bytes, "pixi");
    if (!at) return false;
    std::copy_n("irot", 4, bytes.begin() + long(*at + 4));
    bytes[*at + 8] = quarters;
    return true;
}

constexpr const char* kHeicLossless = "-L -p chroma=444 --matrix_coefficients=0";
constexpr const char* kAvifLossless = "-A -L -p chroma=444 --matrix_coefficients=0";

class HeifDecode : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveTool("heif-enc")) GTEST_SKIP() << "heif-enc (libheif-examples) is not installed";
    }
    TempFolder dir;
};

// Debian 12's heif-enc -L is lossless in its codec, but RGB reaches it through
// 8-bit YCbCr: every channel comes back within 1 of the PNG.
constexpr int kLosslessTolerance = 1;

struct LosslessCase {
    const char* args;
    bool alpha;
};

class HeifLossless : public HeifDecode, public ::testing::WithParamInterface<LosslessCase> {};

TEST_P(HeifLossless, GivesTheSourcePixelsAndAlpha) {
    const PxImage source = Pattern(32, 24, GetParam().alpha);
    const Bytes file = EncodePattern(dir, source, GetParam().args);
    if (file.empty()) GTEST_SKIP() << "heif-enc " << GetParam().args << " wrote nothing";
    for (const PxLoadOptions& options : {PxLoadOptions{}, Upright()}) {
        const Decoded d = Decode(file, options);
        ASSERT_TRUE(d.ok) << d.image.GetLastError();
        EXPECT_EQ(d.image.GetBpp(), 24u);
        ASSERT_EQ(d.image.GetWidth(), 32u);
        ASSERT_EQ(d.image.GetHeight(), 24u);
        EXPECT_EQ(d.image.HasAlpha(), GetParam().alpha);
        EXPECT_LE(MaxDifference(d.image, source), kLosslessTolerance);
    }
}

// Debian 12's AOM encoder aborts on an alpha plane of an odd width; 32 x 24 is fine.
INSTANTIATE_TEST_SUITE_P(Formats, HeifLossless,
                         ::testing::Values(LosslessCase{kHeicLossless, false},
                                           LosslessCase{kHeicLossless, true},
                                           LosslessCase{kAvifLossless, false},
                                           LosslessCase{kAvifLossless, true}));

TEST_F(HeifDecode, PremultipliedColoursComeOutStraight) {
    const PxImage straight = Pattern(32, 24, true);
    PxImage premultiplied = straight;
    for (LONG y = 0; y < 24; ++y) {
        for (LONG x = 0; x < 32; ++x) {
            const RGBQUAD c = straight.GetPixelColor(x, y);
            const int a = straight.AlphaGet(x, y);
            const auto times = [a](BYTE v) { return BYTE((v * a + 127) / 255); };
            premultiplied.SetPixelColor(x, y,
                                        {times(c.rgbBlue), times(c.rgbGreen), times(c.rgbRed), 0});
        }
    }
    const Bytes file =
        EncodePattern(dir, premultiplied, std::string(kHeicLossless) + " --premultiplied-alpha");
    if (file.empty()) GTEST_SKIP() << "heif-enc wrote no HEIC";
    const Decoded d = Decode(file);
    ASSERT_TRUE(d.ok) << d.image.GetLastError();
    // Where the opacity leaves enough precision to divide by.
    for (LONG y = 0; y < 24; ++y) {
        for (LONG x = 0; x < 32; ++x) {
            if (straight.AlphaGet(x, y) < 96) continue;
            const RGBQUAD a = d.image.GetPixelColor(x, y), b = straight.GetPixelColor(x, y);
            EXPECT_NEAR(a.rgbRed, b.rgbRed, 6) << x << "," << y;
            EXPECT_NEAR(a.rgbBlue, b.rgbBlue, 6) << x << "," << y;
        }
    }
}

TEST_F(HeifDecode, LossyPicturesStayCloseToTheirSource) {
    const PxImage source = Pattern(32, 24, false);
    for (const char* args : {"-q 90", "-A -q 90"}) {
        const Bytes file = EncodePattern(dir, source, args);
        if (file.empty()) GTEST_SKIP() << "heif-enc " << args << " wrote nothing";
        const Decoded d = Decode(file);
        ASSERT_TRUE(d.ok) << d.image.GetLastError();
        EXPECT_LE(MaxDifference(d.image, source), 24) << args;
    }
}

TEST_F(HeifDecode, RotationIsAppliedOnlyWhenUpright) {
    const PxImage source = Pattern(32, 24, false);
    Bytes file = EncodePattern(dir, source, kHeicLossless);
    if (file.empty()) GTEST_SKIP() << "heif-enc wrote no HEIC";
    ASSERT_TRUE(AddRotation(file, 1)) << "no pixi property to turn into a rotation";
    const Decoded stored = Decode(file);
    const Decoded upright = Decode(file, Upright());
    ASSERT_TRUE(stored.ok && upright.ok) << upright.image.GetLastError();
    EXPECT_LE(MaxDifference(stored.image, source), kLosslessTolerance);
    ASSERT_EQ(upright.image.GetWidth(), 24u);
    ASSERT_EQ(upright.image.GetHeight(), 32u);
    // A quarter turn anticlockwise: stored (x, y) lands at (y, 31 - x), rows counted
    // from the top; the images count them from the bottom.
    for (LONG y = 0; y < 24; ++y) {
        for (LONG x = 0; x < 32; ++x) {
            const RGBQUAD a = stored.image.GetPixelColor(x, 23 - y);
            const RGBQUAD b = upright.image.GetPixelColor(y, x);
            ASSERT_TRUE(a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue)
                << x << "," << y;
        }
    }
}

// A wide-gamut profile makes the sRGB pixels differ from the stored ones; they
// match ImageMagick's conversion of the same pixels.
class HeifProfile : public HeifDecode, public ::testing::WithParamInterface<const char*> {};

TEST_P(HeifProfile, ConvertsToSrgbLikeImageMagick) {
    const char* profile = "/usr/share/color/icc/colord/AdobeRGB1998.icc";
    const char* srgb = "/usr/share/color/icc/colord/sRGB.icc";
    if (!fs::exists(profile) || !fs::exists(srgb) || !HaveTool("convert"))
        GTEST_SKIP() << "needs colord-data's profiles and ImageMagick";
    // Colours well inside sRGB: near its edge the conversion magnifies the 8-bit
    // rounding of the as-stored decode that the 10-bit file is compared with.
    PxImage source = Pattern(32, 24, false);
    for (LONG y = 0; y < 24; ++y) {
        for (LONG x = 0; x < 32; ++x) {
            const RGBQUAD c = source.GetPixelColor(x, y);
            const auto mute = [](BYTE v) { return BYTE(128 + v * 48 / 255); };
            source.SetPixelColor(x, y, {mute(c.rgbBlue), mute(c.rgbGreen), mute(c.rgbRed), 0});
        }
    }
    ASSERT_TRUE(WritePng(source, dir / "plain.png"));
    // ImageMagick attaches the profile (the PNG has none to convert from).
    ASSERT_TRUE(Shell("convert '" + (dir / "plain.png").string() + "' -profile " + profile + " '" +
                      GetParam() + (dir / "wide.png").string() + "'"));
    const Bytes file =
        HeifEnc(dir / "wide.png", std::string(kHeicLossless) + " -b 10", dir / "wide.heic");
    if (file.empty()) GTEST_SKIP() << "heif-enc wrote no HEIC";
    PxLoadOptions toSrgb;
    toSrgb.toSrgb = true;
    const Decoded stored = Decode(file);
    const Decoded converted = Decode(file, toSrgb);
    ASSERT_TRUE(stored.ok && converted.ok) << converted.image.GetLastError();
    EXPECT_GT(MaxDifference(stored.image, converted.image), 10);

    // Debian 12's ImageMagick reads HEIC without its profile and less exactly than
    // libheif's own RGB: it converts our as-stored decode, the profile attached.
    PxImage asStored = stored.image;
    ASSERT_TRUE(WritePng(asStored, dir / "stored.png"));
    ASSERT_TRUE(Shell("convert '" + (dir / "stored.png").string() + "' -profile " + profile +
                      " -profile " + srgb + " -depth 8 '" + (dir / "reference.png").string() +
                      "'"));
    PxImage reference;
    ASSERT_TRUE(reference.Load((dir / "reference.png").string().c_str(), PX_FORMAT_PNG, true));
    EXPECT_LE(MaxDifference(converted.image, reference), 3);
}

// 8-bit and, from a 16-bit PNG (PNG48), 10-bit samples (heif-enc's -b).
INSTANTIATE_TEST_SUITE_P(Depths, HeifProfile, ::testing::Values("", "PNG48:"));

TEST_F(HeifDecode, ThumbnailServesASmallEnoughRequest) {
    const Bytes withThumb = EncodePattern(dir, Pattern(96, 64, false), "-q 80 -t 48");
    const Bytes without = EncodePattern(dir, Pattern(96, 64, false), "-q 80");
    if (withThumb.empty() || without.empty()) GTEST_SKIP() << "heif-enc wrote no HEIC";
    struct Case {
        const Bytes* file;
        DWORD side;
        bool upright;
        DWORD width, height;
    };
    for (const Case c : {Case{&withThumb, 40, true, 48, 32}, Case{&withThumb, 40, false, 48, 32},
                         Case{&withThumb, 48, true, 48, 32}, Case{&withThumb, 49, true, 96, 64},
                         Case{&withThumb, 0, true, 96, 64}, Case{&without, 40, true, 96, 64}}) {
        PxLoadOptions options;
        options.upright = c.upright;
        options.minimumLongerSide = c.side;
        const Decoded d = Decode(*c.file, options);
        ASSERT_TRUE(d.ok) << d.image.GetLastError();
        EXPECT_EQ(d.image.GetWidth(), c.width) << c.side;
        EXPECT_EQ(d.image.GetHeight(), c.height) << c.side;
    }
}

TEST_F(HeifDecode, DamagedFilesFailWithAMessage) {
    const Bytes file = EncodePattern(dir, Pattern(32, 24, true), "-q 50");
    if (file.empty()) GTEST_SKIP() << "heif-enc wrote no HEIC";
    const std::size_t pictureData = FindBox(file, "mdat").value_or(file.size());
    for (std::size_t size = 0; size < file.size(); size += 1 + size / 8) {
        const Decoded d = Decode(Bytes(file.begin(), file.begin() + long(size)));
        if (size <= pictureData) {
            EXPECT_FALSE(d.ok) << size;
        }
        if (!d.ok) {
            EXPECT_STRNE(d.image.GetLastError(), "") << size;
        }
    }
    Bytes garbage(file.begin(), file.begin() + long(FindBox(file, "meta").value_or(0)));
    ASSERT_FALSE(garbage.empty());
    for (int i = 0; i < 300; ++i)
        garbage.push_back(BYTE(i * 37 + 11));
    const Decoded d = Decode(garbage);
    EXPECT_FALSE(d.ok);
    EXPECT_NE(std::string(d.image.GetLastError()).find("Invalid input"), std::string::npos)
        << d.image.GetLastError();
}

// Refused from the header alone, before anything the size of the picture exists:
// libheif's side limit or, under it, our pixel count.
TEST_F(HeifDecode, HugeDeclaredSizesAreRefusedQuickly) {
    const Bytes file = EncodePattern(dir, Pattern(32, 24, false), "-q 50");
    if (file.empty()) GTEST_SKIP() << "heif-enc wrote no HEIC";
    for (std::uint32_t side : {100000u, 60000u}) {
        Bytes huge = file;
        SetStoredSizes(huge, side, side);
        const auto start = std::chrono::steady_clock::now();
        const Decoded d = Decode(huge, Upright());
        EXPECT_FALSE(d.ok) << side;
        EXPECT_STRNE(d.image.GetLastError(), "");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    }
    Bytes huge = file;
    SetStoredSizes(huge, 60000, 60000);
    EXPECT_STREQ(Decode(huge).image.GetLastError(), "HEIF image is too large");
}

int g_boxes = 0;
int CountBox(const char*, const char*, UINT) {
    return ++g_boxes, IDOK;
}

TEST_F(HeifDecode, FailureLeavesThePictureAndShowsNoMessage) {
    const PxMessageBoxHook previous = PxSetMessageBoxHook(CountBox);
    g_boxes = 0;
    PxImage image = Pattern(4, 3, false);
    Bytes junk(64, 0);
    PxMemFile file(junk.data(), DWORD(junk.size()));
    EXPECT_FALSE(image.Decode(&file, PX_FORMAT_HEIF, PxLoadOptions{}));
    PxSetMessageBoxHook(previous);
    EXPECT_EQ(image.GetWidth(), 4u);
    EXPECT_STRNE(image.GetLastError(), "");
    EXPECT_EQ(g_boxes, 0);
}

}  // namespace

// Seeds for fuzz_heif: each kind of picture the decoder takes apart, small.
TEST(FuzzSeeds, Heif) {
    if (!HaveTool("heif-enc")) GTEST_SKIP() << "heif-enc (libheif-examples) is not installed";
    const char* made = std::getenv("OSTREL_FUZZ_SEEDS");
    TempFolder dir;
    const fs::path out = made ? fs::path(made) / "fuzz_heif" : dir / "seeds";
    fs::create_directories(out);
    PxImage plain = Pattern(16, 12, false), clear = Pattern(16, 12, true);
    ASSERT_TRUE(WritePng(plain, dir / "plain.png") && WritePng(clear, dir / "alpha.png"));
    struct Seed {
        const char* name;
        const char* source;
        const char* args;
    };
    for (const Seed s :
         {Seed{"heic", "plain", "-q 30"}, Seed{"heic_alpha", "alpha", "-q 30"},
          Seed{"heic_lossless", "plain", kHeicLossless}, Seed{"heic_thumb", "plain", "-q 30 -t 8"},
          Seed{"avif", "plain", "-A -q 30"}, Seed{"avif_alpha", "alpha", "-A -q 30"},
          Seed{"avif_lossless", "plain", kAvifLossless}}) {
        Bytes file = HeifEnc(dir / (std::string(s.source) + ".png"), s.args, dir / "seed");
        if (file.empty()) continue;  // that encoder is missing: the others still seed
        if (std::string(s.name) == "heic") {
            Bytes turned = file;
            if (AddRotation(turned, 3)) WriteFile(out / "heic_rotated", turned);
        }
        EXPECT_TRUE(Decode(file).ok) << s.name;
        WriteFile(out / s.name, file);
    }
    EXPECT_FALSE(fs::is_empty(out));
}
