#include "imaging/px_png_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "imaging/px_encode_bytes.h"
#include "imaging/px_image.h"
#include "imaging/px_mem_file.h"
#include "support/png_builder.h"
#include "support/png_reference.h"

#include <zlib.h>

namespace {

bool DecodePng(PxImage& image, std::vector<unsigned char>& bytes) {
    return image.Decode(bytes.data(), static_cast<DWORD>(bytes.size()), PX_FORMAT_PNG);
}

std::vector<unsigned char> EncodePng(PxImage& image) {
    return EncodeToBytes(image, PX_FORMAT_PNG);
}

png_color_16 Rgb(png_uint_16 r, png_uint_16 g, png_uint_16 b) {
    png_color_16 c{};
    c.red = r;
    c.green = g;
    c.blue = b;
    return c;
}

// Every pixel and its opacity, bottom row first, for comparing two pictures.
std::vector<int> Pixels(const PxImage& image) {
    std::vector<int> out;
    for (LONG y = 0; y < static_cast<LONG>(image.GetHeight()); ++y) {
        for (LONG x = 0; x < static_cast<LONG>(image.GetWidth()); ++x) {
            const RGBQUAD c = image.GetPixelColor(x, y);
            out.insert(out.end(), {c.rgbRed, c.rgbGreen, c.rgbBlue, image.AlphaGet(x, y)});
        }
    }
    return out;
}

// A picture whose every pixel differs from its neighbours.
void Paint(PxImage& image) {
    for (LONG y = 0; y < static_cast<LONG>(image.GetHeight()); ++y) {
        for (LONG x = 0; x < static_cast<LONG>(image.GetWidth()); ++x) {
            if (image.IsIndexed())
                image.SetPixelIndex(x, y, static_cast<BYTE>(x * 7 + y * 3));
            else
                image.SetPixelColor(x, y, RGB(x * 20, y * 30, (x + y) * 9));
            image.AlphaSet(x, y, static_cast<BYTE>(x * 40 + y));
        }
    }
}

// A stream that takes nothing.
class FullDisk : public PxMemFile {
public:
    std::size_t Write(const void*, std::size_t, std::size_t) override { return 0; }
};

}  // namespace

TEST(PngDecode, HalfTransparentGreyIsMixedWithGrey192InTheFilesOwnValues) {
    PngRecipe recipe;
    recipe.width = 2;
    recipe.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    recipe.gamma = 0.45455;
    recipe.rows = {{0, 128, 200, 255}};
    auto bytes = WritePngDirectly(recipe);
    PxImage image;
    ASSERT_TRUE(DecodePng(image, bytes)) << image.GetLastError();
    EXPECT_EQ(image.GetBpp(), 8);
    EXPECT_FALSE(image.HasAlpha());
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, (192 * 127 + 127) / 255);
    EXPECT_EQ(image.GetPixelColor(1, 0).rgbRed, 200);
}

TEST(PngDecode, TwoBitGreyBecomesFourBitsWithFourGreys) {
    PngRecipe recipe;
    recipe.width = 5;
    recipe.height = 9;
    recipe.bitDepth = 2;
    // Row y holds the levels (x + y) % 4.
    for (int y = 0; y < recipe.height; ++y) {
        std::vector<png_byte> row(2, 0);
        for (int x = 0; x < recipe.width; ++x)
            row[x / 4] |= static_cast<png_byte>(((x + y) % 4) << (6 - 2 * (x % 4)));
        recipe.rows.push_back(row);
    }
    auto plain = WritePngDirectly(recipe);
    recipe.interlaced = true;
    auto interlaced = WritePngDirectly(recipe);
    for (auto* bytes : {&plain, &interlaced}) {
        PxImage image;
        ASSERT_TRUE(DecodePng(image, *bytes)) << image.GetLastError();
        EXPECT_EQ(image.GetBpp(), 4);
        for (BYTE i = 0; i < 4; ++i)
            EXPECT_EQ(image.GetPaletteColor(i).rgbGreen, i * 85);
        for (LONG y = 0; y < recipe.height; ++y) {
            for (LONG x = 0; x < recipe.width; ++x)
                ASSERT_EQ(image.GetPixelIndex(x, recipe.height - 1 - y), (x + y) % 4)
                    << x << "," << y;
        }
    }
}

TEST(PngDecode, PaletteTransparency) {
    PngRecipe recipe;
    recipe.width = 2;
    recipe.colorType = PNG_COLOR_TYPE_PALETTE;
    recipe.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    recipe.paletteAlpha = {0};
    recipe.rows = {{0, 2}};
    auto single = WritePngDirectly(recipe);
    PxImage image;
    ASSERT_TRUE(DecodePng(image, single)) << image.GetLastError();
    EXPECT_EQ(image.GetTransIndex(), 0);
    EXPECT_FALSE(image.IsAlphaPaletteEnabled());
    EXPECT_EQ(image.GetPaletteColor(2).rgbReserved, 0);

    recipe.paletteAlpha = {0, 128};
    auto several = WritePngDirectly(recipe);
    ASSERT_TRUE(DecodePng(image, several)) << image.GetLastError();
    EXPECT_EQ(image.GetTransIndex(), -1);
    EXPECT_TRUE(image.IsAlphaPaletteEnabled());
    EXPECT_EQ(image.GetPaletteColor(0).rgbReserved, 0);
    EXPECT_EQ(image.GetPaletteColor(1).rgbReserved, 128);
    EXPECT_EQ(image.GetPaletteColor(255).rgbReserved, 255);

    // One entry that is only half transparent is palette alpha too.
    recipe.paletteAlpha = {100};
    auto half = WritePngDirectly(recipe);
    ASSERT_TRUE(DecodePng(image, half)) << image.GetLastError();
    EXPECT_EQ(image.GetTransIndex(), -1);
    EXPECT_TRUE(image.IsAlphaPaletteEnabled());
}

TEST(PngDecode, RgbaKeepsAlphaAndItsBackgroundColour) {
    PngRecipe recipe;
    recipe.width = 2;
    recipe.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    recipe.background = Rgb(1, 2, 3);
    recipe.rows = {{10, 20, 30, 0, 40, 50, 60, 200}};
    auto bytes = WritePngDirectly(recipe);
    PxImage image;
    ASSERT_TRUE(DecodePng(image, bytes)) << image.GetLastError();
    EXPECT_EQ(image.GetBpp(), 24);
    ASSERT_TRUE(image.HasAlpha());
    EXPECT_EQ(image.AlphaGet(0, 0), 0);
    EXPECT_EQ(image.AlphaGet(1, 0), 200);
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 10);
    EXPECT_EQ(image.GetPixelColor(1, 0).rgbBlue, 60);
    const RGBQUAD key = image.GetTransColor();
    EXPECT_EQ(key.rgbRed, 1);
    EXPECT_EQ(key.rgbGreen, 2);
    EXPECT_EQ(key.rgbBlue, 3);
}

TEST(PngDecode, RgbWithTransparentColourIsCompositedOverItsBackground) {
    PngRecipe recipe;
    recipe.width = 2;
    recipe.colorType = PNG_COLOR_TYPE_RGB;
    recipe.transColor = Rgb(1, 2, 3);
    recipe.background = Rgb(200, 100, 50);
    recipe.rows = {{1, 2, 3, 7, 8, 9}};
    auto bytes = WritePngDirectly(recipe);
    PxImage image;
    ASSERT_TRUE(DecodePng(image, bytes)) << image.GetLastError();
    EXPECT_FALSE(image.HasAlpha());
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 200);
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbBlue, 50);
    EXPECT_EQ(image.GetPixelColor(1, 0).rgbRed, 7);

    // Without bKGD a 4-bit grey file takes the grey nearest 192 that 4 bits hold.
    PngRecipe grey;
    grey.width = 2;
    grey.bitDepth = 4;
    grey.transColor = Rgb(0, 0, 0);
    grey.transColor->gray = 3;
    grey.rows = {{0x35}};
    auto greyBytes = WritePngDirectly(grey);
    ASSERT_TRUE(DecodePng(image, greyBytes)) << image.GetLastError();
    EXPECT_EQ(image.GetPixelIndex(0, 0), 11);
    EXPECT_EQ(image.GetPixelIndex(1, 0), 5);
}

// Every pass of an interlaced file reaches the picture and its alpha channel.
TEST(PngDecode, InterlacedAlphaKeepsEveryPass) {
    PngRecipe recipe;
    recipe.width = 11;
    recipe.height = 10;
    recipe.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    for (int y = 0; y < recipe.height; ++y) {
        std::vector<png_byte> row;
        for (int x = 0; x < recipe.width; ++x)
            row.insert(row.end(), {png_byte(x * 20), png_byte(y * 25), 7, png_byte(x + 10 * y)});
        recipe.rows.push_back(row);
    }
    recipe.interlaced = true;
    auto bytes = WritePngDirectly(recipe);
    PxImage image;
    ASSERT_TRUE(DecodePng(image, bytes)) << image.GetLastError();
    for (LONG y = 0; y < recipe.height; ++y) {
        for (LONG x = 0; x < recipe.width; ++x) {
            const LONG row = recipe.height - 1 - y;
            ASSERT_EQ(image.GetPixelColor(x, row).rgbRed, x * 20) << x << "," << y;
            ASSERT_EQ(image.GetPixelColor(x, row).rgbGreen, y * 25) << x << "," << y;
            ASSERT_EQ(image.AlphaGet(x, row), x + 10 * y) << x << "," << y;
        }
    }
}

TEST(PngDecode, DamagedFilesFailWithTheLibrarysTextAndKeepThePicture) {
    PngRecipe recipe;
    recipe.width = 64;
    recipe.height = 64;
    recipe.rows.assign(64, std::vector<png_byte>(64, 0x55));
    auto bytes = WritePngDirectly(recipe);
    PxImage image(3, 3, 24);
    bytes.resize(bytes.size() - 30);  // into the pixel data
    EXPECT_FALSE(DecodePng(image, bytes));
    EXPECT_STREQ(image.GetLastError(), "Read Error");
    EXPECT_EQ(image.GetWidth(), 3u);

    std::vector<unsigned char> junk(100, 'x');
    EXPECT_FALSE(DecodePng(image, junk));
    EXPECT_STREQ(image.GetLastError(), "Not a PNG file");
}

// IHDR rewritten to claim a picture larger than the image object's cap, and a
// picture too big for the few bytes that follow.
TEST(PngDecode, DeclaredSizeIsCheckedBeforeAnythingIsAllocated) {
    PngRecipe recipe;
    recipe.rows = {{0}};
    auto bytes = WritePngDirectly(recipe);
    const auto claim = [&bytes](std::uint32_t width, std::uint32_t height) {
        auto out = bytes;
        for (int i = 0; i < 4; ++i) {
            out[16 + i] = static_cast<unsigned char>(width >> (24 - 8 * i));
            out[20 + i] = static_cast<unsigned char>(height >> (24 - 8 * i));
        }
        const uLong crc = crc32(0, out.data() + 12, 17);
        for (int i = 0; i < 4; ++i)
            out[29 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
        return out;
    };
    PxImage image;
    auto huge = claim(1u << 15, 1u << 14);
    EXPECT_FALSE(DecodePng(image, huge));
    EXPECT_STREQ(image.GetLastError(), "PNG image is too large");
    auto large = claim(1u << 13, 1u << 13);
    EXPECT_FALSE(DecodePng(image, large));
    EXPECT_STREQ(image.GetLastError(), "PNG file too short for its dimensions");
}

TEST(PngEncode, TransparentIndexMovesToEntryZeroOfTheSavedPicture) {
    PxImage image(4, 2, 8);
    for (int i = 0; i < 256; ++i)
        image.SetPaletteIndex(static_cast<BYTE>(i), static_cast<BYTE>(i), 0, 0);
    Paint(image);
    image.SetPixelIndex(2, 1, 5);
    image.SetTransIndex(5);
    const std::vector<int> before = Pixels(image);
    auto bytes = EncodePng(image);
    ASSERT_FALSE(bytes.empty()) << image.GetLastError();
    EXPECT_EQ(image.GetTransIndex(), 0);
    EXPECT_EQ(image.GetPaletteColor(0).rgbRed, 5);
    EXPECT_EQ(image.GetPaletteColor(5).rgbRed, 0);
    EXPECT_EQ(image.GetPixelIndex(2, 1), 0);
    EXPECT_EQ(Pixels(image), before);

    PxImage back;
    ASSERT_TRUE(DecodePng(back, bytes)) << back.GetLastError();
    EXPECT_EQ(back.GetTransIndex(), 0);
    EXPECT_EQ(Pixels(back), before);

    // An index outside the palette marks nothing transparent and moves nothing.
    PxImage small(2, 1, 4);
    small.SetPaletteIndex(0, 9, 9, 9);
    small.SetTransIndex(20);
    auto untouched = EncodePng(small);
    EXPECT_EQ(small.GetTransIndex(), 20);
    ASSERT_TRUE(DecodePng(back, untouched)) << back.GetLastError();
    EXPECT_EQ(back.GetTransIndex(), -1);
    EXPECT_FALSE(back.IsAlphaPaletteEnabled());
    EXPECT_EQ(back.GetPaletteColor(0).rgbRed, 9);
}

TEST(PngEncode, PalettesGreysRgbAndRgbaComeBackIdentical) {
    for (LONG bpp : {1, 4, 8, 24}) {
        for (bool withAlpha : {false, true}) {
            SCOPED_TRACE(testing::Message() << bpp << " bpp, alpha " << withAlpha);
            PxImage image(13, 5, static_cast<DWORD>(bpp));
            if (image.IsIndexed()) {
                for (DWORD i = 0; i < image.GetNumColors(); ++i)
                    image.SetPaletteIndex(static_cast<BYTE>(i), static_cast<BYTE>(i * 3),
                                          static_cast<BYTE>(255 - i), 9);
            }
            if (withAlpha) image.AlphaCreate();
            Paint(image);
            auto bytes = EncodePng(image);
            PxImage back;
            ASSERT_TRUE(DecodePng(back, bytes)) << back.GetLastError();
            EXPECT_EQ(back.GetBpp(), withAlpha ? 24 : bpp);
            EXPECT_EQ(back.HasAlpha(), withAlpha);
            EXPECT_EQ(Pixels(back), Pixels(image));
        }
    }
    PxImage grey(7, 3, 8);
    grey.SetGrayPalette();
    Paint(grey);
    auto bytes = EncodePng(grey);
    PxImage back;
    ASSERT_TRUE(DecodePng(back, bytes)) << back.GetLastError();
    EXPECT_TRUE(back.IsGrayScale());
    EXPECT_EQ(Pixels(back), Pixels(grey));
}

TEST(PngEncode, PaletteAlphaIsWrittenPerEntry) {
    PxImage image(3, 1, 4);
    for (BYTE i = 0; i < 16; ++i)
        image.SetPaletteIndex(i, i, i, i, static_cast<BYTE>(i * 16));
    image.AlphaPaletteEnable();
    Paint(image);
    auto bytes = EncodePng(image);
    PxImage back;
    ASSERT_TRUE(DecodePng(back, bytes)) << back.GetLastError();
    EXPECT_TRUE(back.IsAlphaPaletteEnabled());
    for (BYTE i = 0; i < 16; ++i)
        EXPECT_EQ(back.GetPaletteColor(i).rgbReserved, i * 16);
}

// The transparent colour of a 24-bit picture is written as alpha 0, without
// giving the picture an alpha channel; stored alpha is scaled by alphaMax.
TEST(PngEncode, TransparentColourAndAlphaMaxBecomeFileAlpha) {
    PxImage image(2, 1, 24);
    image.SetPixelColor(0, 0, RGB(1, 2, 3));
    image.SetPixelColor(1, 0, RGB(4, 5, 6));
    image.SetTransIndex(0);
    image.SetTransColor(RGBQUAD{3, 2, 1, 0});
    auto keyed = EncodePng(image);
    EXPECT_FALSE(image.HasAlpha());
    PxImage back;
    ASSERT_TRUE(DecodePng(back, keyed)) << back.GetLastError();
    ASSERT_TRUE(back.HasAlpha());
    EXPECT_EQ(back.AlphaGet(0, 0), 0);
    EXPECT_EQ(back.AlphaGet(1, 0), 255);

    image.SetTransIndex(-1);
    image.AlphaCreate();
    image.AlphaSet(200);
    image.AlphaSetMax(128);
    auto scaled = EncodePng(image);
    ASSERT_TRUE(DecodePng(back, scaled)) << back.GetLastError();
    EXPECT_EQ(back.AlphaGet(1, 0), 200 * 128 / 255);
}

TEST(PngEncode, FailuresAreReported) {
    PxImage image(2, 2, 24);
    FullDisk disk;
    disk.Open();
    EXPECT_FALSE(image.Encode(&disk, PX_FORMAT_PNG));
    EXPECT_STREQ(image.GetLastError(), "Error saving PNG file");

    PxImage invalid;
    PxMemFile file;
    file.Open();
    EXPECT_FALSE(invalid.Encode(&file, PX_FORMAT_PNG));
}
