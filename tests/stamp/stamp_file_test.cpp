// The road from the 24-bit stamp to the stamp file, read back with libpng.
#include <gtest/gtest.h>

#include "stamp/stamp_converter.h"
#include "stamp_support.h"

using namespace stamp_test;

namespace {

constexpr RGBQUAD kMagenta{255, 0, 255, 0};

// Fails every allocation after the first `budget`.
class ShortOfMemory : public COctreeQuantizer {
public:
    explicit ShortOfMemory(int budget) : COctreeQuantizer(256, 7), budget_(budget) {}

protected:
    std::unique_ptr<Node> NewNode() override {
        return budget_-- > 0 ? COctreeQuantizer::NewNode() : nullptr;
    }

private:
    int budget_;
};

// What a stamp file must be whatever it shows.
void ExpectStampFile(const PngFacts& png, int side) {
    ASSERT_TRUE(png.read);
    EXPECT_EQ(png.colorType, PNG_COLOR_TYPE_PALETTE);
    EXPECT_EQ(png.bitDepth, 8);
    EXPECT_GE(png.paletteSize, 1);
    EXPECT_LE(png.paletteSize, 256);
    EXPECT_EQ(png.width, side);
    EXPECT_EQ(png.height, side);
}

void ExpectTransparentEntryZero(const PngFacts& png) {
    ASSERT_EQ(png.trns.size(), 1u);
    EXPECT_EQ(png.trns[0], 0);
    EXPECT_EQ(png.palette[0].red, 255);
    EXPECT_EQ(png.palette[0].green, 0);
    EXPECT_EQ(png.palette[0].blue, 255);
}

// Attach, convert and save as the preview page does; the stamp's facts.
PngFacts Road(const PxImage& picture, const ScratchFolder& folder, double lightness = 0) {
    CPreviewPicture stamp;
    stamp.image = std::make_unique<PxImage>(picture);
    stamp.lightness = lightness;
    CStampConverter converter;
    EXPECT_TRUE(converter.Attach(&stamp, 128.0 / picture.GetWidth()));
    EXPECT_TRUE(converter.ConvertToStamp(*stamp.image));
    EXPECT_TRUE(stamp.SaveAs(folder / "stamp.png", PX_FORMAT_PNG, 8));
    return ReadPng(folder / "stamp.png");
}

// A stamp of colours from far more than 256 groups near magenta, with magenta
// pixels among them; `seed` varies the mix.
PxImage NearMagenta(unsigned seed) {
    PxImage picture;
    picture.Create(32, 32, 24);
    unsigned state = seed * 2654435761u + 1;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 8) & 0xFFFF;
    };
    for (LONG y = 0; y < 32; ++y) {
        for (LONG x = 0; x < 32; ++x) {
            if (next() % 5 == 0) {
                picture.SetPixelColor(x, y, kMagenta);
                continue;
            }
            picture.SetPixelColor(
                x, y,
                RGBQUAD{static_cast<BYTE>(253 - next() % 80), static_cast<BYTE>(2 + next() % 90),
                        static_cast<BYTE>(253 - next() % 80), 0});
        }
    }
    return picture;
}

}  // namespace

TEST(StampFile, AMagentaAreaBecomesTheOneTransparentEntry) {
    ScratchFolder folder;
    PxImage picture = Gradient(32, 32);
    for (LONG y = 0; y < 8; ++y)
        for (LONG x = 0; x < 32; ++x)
            picture.SetPixelColor(x, y, kMagenta);  // the bottom quarter
    const PngFacts png = Road(picture, folder);
    ExpectStampFile(png, 32);
    ExpectTransparentEntryZero(png);
    for (int x = 0; x < 32; ++x) {
        EXPECT_EQ(png.rows[31][x], 0);
        EXPECT_NE(png.rows[23][x], 0);
    }
}

TEST(StampFile, NoMagentaNoTransparency) {
    ScratchFolder folder;
    const PngFacts png = Road(Gradient(16, 16), folder);
    ExpectStampFile(png, 16);
    EXPECT_TRUE(png.trns.empty());
}

TEST(StampFile, NoTransparencyWhenTheKeyColourIsMergedAway) {
    ScratchFolder folder;
    // 1024 groups far from magenta, then (253, 0, 255) and magenta last, sharing the
    // newest deepest node.
    PxImage picture;
    ASSERT_TRUE(picture.Create(32, 32, 24));
    for (LONG i = 0; i < 1024; ++i)
        picture.SetPixelColor(
            i % 32, i / 32,
            RGBQUAD{0, static_cast<BYTE>((i >> 5) << 2), static_cast<BYTE>((i & 31) << 2), 0});
    picture.SetPixelColor(31, 31, kMagenta);
    // Alone in its group, magenta survives the reductions.
    EXPECT_EQ(Road(picture, folder).trns.size(), 1u);
    picture.SetPixelColor(30, 31, RGBQUAD{255, 0, 253, 0});
    const PngFacts png = Road(picture, folder);
    ExpectStampFile(png, 32);
    EXPECT_TRUE(png.trns.empty());
}

TEST(StampFile, KeyPixelsStayTransparentThroughErrorDiffusion) {
    ScratchFolder folder;
    // Find a mix in which plain error diffusion onto the stamp's palette would carry
    // a magenta pixel onto a visible entry or a visible pixel onto magenta.
    bool found = false;
    for (unsigned seed = 1; seed < 60 && !found; ++seed) {
        const PxImage picture = NearMagenta(seed);
        CStampConverter converter;
        PxImage stamp(picture);
        ASSERT_TRUE(converter.ConvertToStamp(stamp));
        if (!stamp.IsTransparent()) continue;
        PxImage plain(picture);
        ASSERT_TRUE(plain.DecreaseBpp(8, true, stamp.GetPalette()));
        const BYTE key = static_cast<BYTE>(stamp.GetTransIndex());
        bool moved = false;
        for (LONG y = 0; y < 32; ++y) {
            for (LONG x = 0; x < 32; ++x) {
                const bool isKey = SameRgb(picture.GetPixelColor(x, y), kMagenta);
                moved |= isKey != (plain.GetPixelIndex(x, y) == key);
                ASSERT_EQ(isKey, stamp.GetPixelIndex(x, y) == key) << seed << ": " << x << "," << y;
            }
        }
        found = moved;
    }
    EXPECT_TRUE(found) << "no mix moved a pixel across the transparent entry";
}

TEST(StampFile, LightnessIsSavedWithoutLosingTransparency) {
    ScratchFolder folder;
    PxImage picture = Filled(32, 32, RGBQUAD{100, 100, 100, 0});
    for (LONG x = 0; x < 32; ++x)
        picture.SetPixelColor(x, 31, kMagenta);
    picture.SetPixelColor(5, 5, RGBQUAD{255, 40, 255, 0});  // lightened towards magenta
    const PngFacts png = Road(picture, folder, -0.5);
    ExpectStampFile(png, 32);
    ExpectTransparentEntryZero(png);
    for (int x = 0; x < 32; ++x)
        EXPECT_EQ(png.rows[0][x], 0);
    EXPECT_NE(png.rows[26][5], 0);
    EXPECT_NE(png.rows[10][10], 0);
}

TEST(StampFile, ConversionFailuresLeaveThePictureAlone) {
    LibraryMessages messages;
    CStampConverter converter;
    PxImage empty;
    EXPECT_FALSE(converter.ConvertToStamp(empty));
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Header File Error"});

    PxImage picture = Gradient(32, 32);
    const PxImage before(picture);
    ShortOfMemory quantizer(100);
    EXPECT_FALSE(converter.ConvertToStamp(picture, quantizer));
    ASSERT_EQ(picture.GetBpp(), 24);
    for (LONG y = 0; y < 32; ++y)
        for (LONG x = 0; x < 32; ++x)
            ASSERT_TRUE(SameRgb(picture.GetPixelColor(x, y), before.GetPixelColor(x, y)));
}

TEST(StampFile, AFailedSaveLeavesNoFile) {
    ScratchFolder folder;
    CPreviewPicture stamp;
    EXPECT_FALSE(stamp.SaveAs(folder / "none.png", PX_FORMAT_PNG, 8));
    stamp.image = std::make_unique<PxImage>(Gradient(32, 32));
    EXPECT_FALSE(stamp.SaveAs(folder / "no/such/folder/stamp.png", PX_FORMAT_PNG, 8));
    EXPECT_FALSE(stamp.SaveAs(folder / "stamp.xyz", 9, 8));
    EXPECT_FALSE(fs::exists(folder / "stamp.xyz"));
    EXPECT_FALSE(fs::exists(folder / "none.png"));
    // Without conversion the copy is reduced onto the standard palette.
    ASSERT_TRUE(stamp.SaveAs(folder / "stamp.png", PX_FORMAT_PNG, 8));
    ExpectStampFile(ReadPng(folder / "stamp.png"), 32);
    EXPECT_EQ(stamp.image->GetBpp(), 24);
}
