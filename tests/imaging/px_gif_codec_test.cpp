#include "imaging/px_gif_codec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/px_encode_bytes.h"
#include "imaging/px_image.h"
#include "imaging/px_mem_file.h"
#include "imaging/px_message.h"
#include "support/gif_builder.h"

namespace {

std::vector<BYTE> EncodeGif(PxImage& image) {
    return EncodeToBytes(image, PX_FORMAT_GIF);
}

bool DecodeGif(PxImage& image, std::vector<BYTE>& bytes, LONG frame = 0) {
    image.SetFrame(frame);
    return image.Decode(bytes.data(), static_cast<DWORD>(bytes.size()), PX_FORMAT_GIF);
}

bool DecodeGif(PxImage& image, GifBuilder& gif, LONG frame = 0) {
    return DecodeGif(image, gif.bytes, frame);
}

// Index of (x, y) counted from the top.
int TopIndex(const PxImage& image, int x, int y) {
    return image.GetPixelIndex(x, static_cast<LONG>(image.GetHeight()) - 1 - y);
}

PxImage Paletted(DWORD width, DWORD height, int bpp) {
    PxImage image(width, height, static_cast<DWORD>(bpp), PX_FORMAT_GIF);
    const int colours = 1 << bpp;
    for (int i = 0; i < colours; ++i)
        image.SetPaletteIndex(static_cast<BYTE>(i), static_cast<BYTE>(i * 7),
                              static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 3));
    for (DWORD y = 0; y < height; ++y)
        for (DWORD x = 0; x < width; ++x)
            image.SetPixelIndex(static_cast<LONG>(x), static_cast<LONG>(y),
                                static_cast<BYTE>((x * 3 + y * 5) % colours));
    return image;
}

struct Box {
    std::string text, caption;
};
std::vector<Box>* g_boxes = nullptr;
int RecordBox(const char* text, const char* caption, UINT) {
    if (g_boxes) g_boxes->push_back({text, caption});
    return IDOK;
}

void ExpectSamePixels(const PxImage& a, const PxImage& b) {
    ASSERT_EQ(a.GetWidth(), b.GetWidth());
    ASSERT_EQ(a.GetHeight(), b.GetHeight());
    for (LONG y = 0; y < static_cast<LONG>(a.GetHeight()); ++y) {
        for (LONG x = 0; x < static_cast<LONG>(a.GetWidth()); ++x) {
            const RGBQUAD p = a.GetPixelColor(x, y), q = b.GetPixelColor(x, y);
            ASSERT_EQ(a.GetPixelIndex(x, y), b.GetPixelIndex(x, y)) << x << "," << y;
            ASSERT_TRUE(p.rgbRed == q.rgbRed && p.rgbGreen == q.rgbGreen && p.rgbBlue == q.rgbBlue)
                << x << "," << y;
        }
    }
}

std::vector<BYTE> Bytes(PxMemFile& file) {
    const auto size = static_cast<std::size_t>(file.Size());
    BYTE* buffer = file.GetBuffer();
    std::vector<BYTE> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

}  // namespace

TEST(GifEncode, EightBitTenByTenHasTheExactLayout) {
    PxImage image = Paletted(10, 10, 8);
    std::vector<BYTE> gif = EncodeGif(image);
    ASSERT_GT(gif.size(), 13u + 768 + 8 + 10 + 2);
    EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
    const std::vector<BYTE> screen(gif.begin() + 6, gif.begin() + 13);
    EXPECT_EQ(screen, (std::vector<BYTE>{10, 0, 10, 0, 0xE7, 0, 0}));
    EXPECT_EQ(gif[13 + 3 * 5], 35);       // red of entry 5
    EXPECT_EQ(gif[13 + 3 * 255 + 1], 0);  // green of entry 255
    const std::size_t control = 13 + 768;
    EXPECT_EQ(std::vector<BYTE>(gif.begin() + control, gif.begin() + control + 8),
              (std::vector<BYTE>{0x21, 0xF9, 0x04, 0, 0, 0, 0xFF, 0}));  // low byte of -1
    const std::size_t descriptor = control + 8;
    EXPECT_EQ(std::vector<BYTE>(gif.begin() + descriptor, gif.begin() + descriptor + 11),
              (std::vector<BYTE>{0x2C, 0, 0, 0, 0, 10, 0, 10, 0, 0x00, 8}));
    EXPECT_EQ(gif[gif.size() - 2], 0x00);
    EXPECT_EQ(gif.back(), 0x3B);

    PxImage back;
    ASSERT_TRUE(DecodeGif(back, gif));
    EXPECT_EQ(back.GetBpp(), 8);
    ExpectSamePixels(back, image);
    EXPECT_EQ(std::memcmp(back.GetPalette(), image.GetPalette(), 1024), 0);
}

// Code size 2, clear 4, end 5: clear, 0, the run code 6 for "0 0", 1, then the end
// code, already 4 bits wide.
TEST(GifEncode, OneBitPictureUsesCodeSizeTwoAndTheRunCodes) {
    PxImage image(4, 1, 1, PX_FORMAT_GIF);
    image.Clear(0);
    image.SetPixelIndex(3, 0, 1);
    std::vector<BYTE> gif = EncodeGif(image);
    const std::size_t data = 13 + 6 + 8 + 10;
    EXPECT_EQ(gif[13 - 3], 0x80);
    EXPECT_EQ(std::vector<BYTE>(gif.begin() + data, gif.end()),
              (std::vector<BYTE>{2, 2, 0x84, 0x53, 0, 0x3B}));
}

TEST(GifEncode, TwentyByTwentyTrueColourIsFourTilesInOrder) {
    PxImage image(20, 20, 24, PX_FORMAT_GIF);
    for (LONG y = 0; y < 20; ++y)
        for (LONG x = 0; x < 20; ++x)
            image.SetPixelColor(
                x, y, RGBQUAD{static_cast<BYTE>(x * 12), static_cast<BYTE>(y * 12), 77, 0});
    std::vector<BYTE> gif = EncodeGif(image);
    ASSERT_EQ(gif[10], 0x11);
    std::vector<std::vector<int>> tiles;
    for (std::size_t i = 13; i + 10 < gif.size(); ++i) {
        if (gif[i] == 0x21 && gif[i + 1] == 0xF9 && gif[i + 2] == 4 && gif[i + 8] == 0x2C) {
            const BYTE* d = &gif[i + 9];
            tiles.push_back(
                {d[0] | d[1] << 8, d[2] | d[3] << 8, d[4] | d[5] << 8, d[6] | d[7] << 8, d[8]});
        }
    }
    EXPECT_EQ(tiles, (std::vector<std::vector<int>>{{0, 0, 17, 15, 0x87},
                                                    {17, 0, 3, 15, 0x87},
                                                    {0, 15, 17, 5, 0x87},
                                                    {17, 15, 3, 5, 0x87}}));
    PxImage back;
    ASSERT_TRUE(DecodeGif(back, gif));
    EXPECT_EQ(back.GetBpp(), 24);
    EXPECT_EQ(back.GetNumFrames(), 4);
    EXPECT_EQ(std::memcmp(back.GetBits(), image.GetBits(), image.GetEffWidth() * 20), 0);
}

// A tiled file whose first tile fills the screen in one direction is still read as
// one picture, so a narrow or flat true-colour picture comes back whole.
TEST(GifEncode, NarrowAndFlatTrueColourPicturesComeBackWhole) {
    for (auto [w, h] : {std::pair{1u, 40u}, std::pair{40u, 3u}, std::pair{17u, 16u}}) {
        PxImage image(w, h, 24, PX_FORMAT_GIF);
        for (LONG y = 0; y < static_cast<LONG>(h); ++y)
            for (LONG x = 0; x < static_cast<LONG>(w); ++x)
                image.SetPixelColor(x, y,
                                    RGBQUAD{static_cast<BYTE>(x), static_cast<BYTE>(y), 9, 0});
        std::vector<BYTE> gif = EncodeGif(image);
        PxImage back;
        ASSERT_TRUE(DecodeGif(back, gif));
        ASSERT_EQ(back.GetWidth(), w);
        ASSERT_EQ(back.GetHeight(), h);
        ExpectSamePixels(back, image);
    }
}

TEST(GifEncode, TransparentTrueColourKeepsItsKeyColour) {
    PxImage image(30, 20, 24, PX_FORMAT_GIF);
    image.Clear(0x40);
    image.SetPixelColor(3, 3, RGBQUAD{255, 0, 255, 0});
    image.SetTransColor(RGBQUAD{255, 0, 255, 0});
    image.SetTransIndex(0);
    std::vector<BYTE> gif = EncodeGif(image);
    PxImage back;
    ASSERT_TRUE(DecodeGif(back, gif));
    EXPECT_TRUE(back.IsTransparent());
    const RGBQUAD key = back.GetTransColor();
    EXPECT_EQ(key.rgbRed, 255);
    EXPECT_EQ(key.rgbGreen, 0);
    EXPECT_EQ(back.GetPixelColor(3, 3).rgbBlue, 255);
    EXPECT_EQ(back.GetPixelColor(4, 3).rgbBlue, 0x40);
}

TEST(GifEncode, ErrorTexts) {
    PxGifCodec codec;
    EXPECT_FALSE(codec.Encode(nullptr));
    EXPECT_STREQ(codec.GetLastError(), "Can't open GIF for writing");
    PxMemFile file;
    ASSERT_TRUE(file.Open());
    EXPECT_FALSE(codec.Encode(nullptr, nullptr, 0));
    EXPECT_STREQ(codec.GetLastError(), "invalid file pointer");
    PxImage frame = Paletted(4, 4, 4);
    PxImage* none[] = {nullptr};
    EXPECT_FALSE(codec.Encode(&file, none, 1));
    EXPECT_STREQ(codec.GetLastError(), "multipage GIF, no images!");
    PxImage* one[] = {&frame};
    EXPECT_FALSE(codec.Encode(&file, one, 0));
    EXPECT_STREQ(codec.GetLastError(), "multipage GIF, no images!");
    PxImage* second[] = {&frame, nullptr};
    EXPECT_FALSE(codec.Encode(&file, second, 2));
    EXPECT_STREQ(codec.GetLastError(), "Bad image pointer");
    EXPECT_GT(file.Size(), 13);  // the first frame went out before

    PxImage colour(4, 4, 24, PX_FORMAT_GIF);
    PxImage* mixed[] = {&frame, &colour};
    PxMemFile other;
    ASSERT_TRUE(other.Open());
    EXPECT_FALSE(codec.Encode(&other, mixed, 2));
    EXPECT_STREQ(codec.GetLastError(), "multipage GIF frames must be paletted");

    PxImage wide(70000, 1, 1, PX_FORMAT_GIF);
    BYTE* buffer = nullptr;
    LONG size = 0;
    EXPECT_FALSE(wide.Encode(buffer, size, PX_FORMAT_GIF));
    EXPECT_STREQ(wide.GetLastError(), "GIF pictures are at most 65535 x 65535 pixels");
}

TEST(GifEncode, AnimationCarriesLoopDelaysAndTransparency) {
    PxImage a = Paletted(6, 5, 4), b = Paletted(3, 2, 1);
    a.SetFrameDelay(12);
    b.SetFrameDelay(40);
    b.SetTransIndex(1);
    b.SetOffset(2, 3);
    PxGifCodec writer;
    writer.SetLoopCount(7);
    PxMemFile file;
    ASSERT_TRUE(file.Open());
    PxImage* frames[] = {&a, &b};
    ASSERT_TRUE(writer.Encode(&file, frames, 2)) << writer.GetLastError();
    std::vector<BYTE> gif = Bytes(file);
    const std::vector<BYTE> loop = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P',
                                    'E',  '2',  '.',  '0', 3,   1,   7,   0,   0};
    EXPECT_EQ(std::vector<BYTE>(gif.begin() + 13 + 48, gif.begin() + 13 + 48 + 19), loop);

    PxGifCodec reader;
    PxMemFile in(gif.data(), static_cast<std::uint32_t>(gif.size()));
    reader.SetFrame(1);
    ASSERT_TRUE(reader.Decode(&in));
    EXPECT_EQ(reader.GetLoopCount(), 7);
    EXPECT_EQ(reader.GetNumFrames(), 2);
    EXPECT_EQ(reader.GetFrameDelay(), 40u);
    // Frame 1 lands on frame 0 (disposal 0 keeps it) except where it is transparent.
    ASSERT_EQ(reader.GetWidth(), 6u);
    EXPECT_EQ(reader.GetTransIndex(), -1);  // frame 0's
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 2 && x < 5 && y >= 3;
            const int mine = TopIndex(b, x - 2, y - 3);
            const int expected = inside && mine != 1 ? mine : TopIndex(a, x, y);
            EXPECT_EQ(TopIndex(reader, x, y), expected) << x << "," << y;
        }
    }
}

TEST(GifDecode, InterlacedRowsOfHeightsThreeAndFour) {
    for (int height : {3, 4}) {
        std::vector<int> lines;
        for (int i = 0; i < height; ++i)
            lines.insert(lines.end(), {10 + i, 10 + i});
        GifBuilder gif;
        gif.Header(2, height, 256).Descriptor(0, 0, 2, height, 0x40).Data(8, lines).Trailer();
        PxImage image;
        ASSERT_TRUE(DecodeGif(image, gif));
        const std::vector<int> order =
            height == 3 ? std::vector<int>{0, 2, 1} : std::vector<int>{0, 2, 1, 3};
        for (int line = 0; line < height; ++line)
            EXPECT_EQ(TopIndex(image, 1, order[line]), 10 + line) << height;
    }
}

TEST(GifDecode, TableSizeChoosesTheDepth) {
    for (auto [colours, bpp] :
         {std::pair{2, 1}, std::pair{4, 4}, std::pair{16, 4}, std::pair{32, 8}}) {
        GifBuilder gif;
        gif.Header(3, 1, colours)
            .Descriptor(0, 0, 3, 1)
            .Data(colours <= 4 ? 2 : 8, {1, 0, 1})
            .Trailer();
        PxImage image;
        ASSERT_TRUE(DecodeGif(image, gif)) << colours;
        EXPECT_EQ(image.GetBpp(), bpp) << colours;
        EXPECT_EQ(TopIndex(image, 0, 0), 1);
        EXPECT_EQ(TopIndex(image, 1, 0), 0);
        EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 1);
    }
}

TEST(GifDecode, TransparentFramesGetWhiteWhereTheTableEnds) {
    GifBuilder four;
    four.Header(2, 1, 4).Control(1, 2).Descriptor(0, 0, 2, 1).Data(2, {0, 3}).Trailer();
    PxImage image;
    ASSERT_TRUE(DecodeGif(image, four));
    EXPECT_EQ(image.GetTransIndex(), 2);
    EXPECT_EQ(image.GetPaletteColor(3).rgbRed, 3);
    EXPECT_EQ(image.GetPaletteColor(4).rgbRed, 255);
    EXPECT_EQ(image.GetPaletteColor(15).rgbBlue, 255);

    GifBuilder full;
    full.Header(2, 1, 256).Control(1, 0).Descriptor(0, 0, 2, 1).Data(8, {254, 255}).Trailer();
    ASSERT_TRUE(DecodeGif(image, full));
    EXPECT_EQ(image.GetPaletteColor(254).rgbGreen, 254);
    EXPECT_EQ(image.GetPaletteColor(255).rgbGreen, 255);

    full.bytes[13 + 3 * 255] = 200;  // 255 stays (200, 255, 255): there is still no white
    ASSERT_TRUE(DecodeGif(image, full));
    EXPECT_EQ(image.GetPaletteColor(255).rgbRed, 255);
    full.bytes[13 + 3 * 7] = full.bytes[13 + 3 * 7 + 1] = full.bytes[13 + 3 * 7 + 2] = 255;
    ASSERT_TRUE(DecodeGif(image, full));  // with a white entry, 255 keeps its colour
    EXPECT_EQ(image.GetPaletteColor(255).rgbRed, 200);
}

// Frame 1 is 2 x 2 at (1, 1) over a 4 x 4 frame of index 1, with index 3 transparent.
GifBuilder TwoFrames(int disposal) {
    GifBuilder gif;
    gif.Header(4, 4, 4).Descriptor(0, 0, 4, 4).Data(2, std::vector<int>(16, 1));
    gif.Control(disposal, 3).Descriptor(1, 1, 2, 2).Data(2, {2, 3, 0, 2}).Trailer();
    return gif;
}

TEST(GifDecode, DisposalZeroAndOneCompositeTwoAndThreeDoNot) {
    for (int disposal : {0, 1}) {
        GifBuilder gif = TwoFrames(disposal);
        PxImage image;
        ASSERT_TRUE(DecodeGif(image, gif, 1)) << disposal;
        ASSERT_EQ(image.GetWidth(), 4u);
        EXPECT_EQ(image.GetTransIndex(), -1);  // the first frame's
        EXPECT_EQ(TopIndex(image, 1, 1), 2);
        EXPECT_EQ(TopIndex(image, 2, 1), 1);  // transparent: frame 0 shows
        EXPECT_EQ(TopIndex(image, 1, 2), 0);
        EXPECT_EQ(TopIndex(image, 3, 3), 1);
    }
    for (int disposal : {2, 3}) {
        GifBuilder gif = TwoFrames(disposal);
        PxImage image;
        ASSERT_TRUE(DecodeGif(image, gif, 1)) << disposal;
        ASSERT_EQ(image.GetWidth(), 2u);
        EXPECT_EQ(image.GetTransIndex(), 3);
        EXPECT_EQ(TopIndex(image, 1, 0), 3);
    }
}

TEST(GifDecode, FrameBeyondTheCountFailsWithTheCountAndABox) {
    std::vector<Box> boxes;
    g_boxes = &boxes;
    const PxMessageBoxHook previous = PxSetMessageBoxHook(RecordBox);
    GifBuilder gif;
    gif.Header(2, 1, 2);
    for (int i = 0; i < 3; ++i)
        gif.Descriptor(0, 0, 2, 1).Data(2, {1, 0});
    gif.Trailer();
    PxImage image(1, 1, 8, PX_FORMAT_BMP);
    EXPECT_FALSE(DecodeGif(image, gif, 5));
    EXPECT_EQ(image.GetNumFrames(), 3);
    EXPECT_TRUE(image.IsValid());  // the old picture stays
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "");
    EXPECT_EQ(boxes[0].caption, "Gif error");
    PxSetMessageBoxHook(previous);
    g_boxes = nullptr;
}

TEST(GifDecode, ExtensionsBeforeTheFrame) {
    GifBuilder comment;  // an empty comment is a comment, not damage
    comment.Header(2, 1, 2).U8({0x21, 0xFE, 0}).U8({0x21, 0xFE, 3, 'a', 'b', 'c', 0});
    comment.Descriptor(0, 0, 2, 1).Data(2, {1, 0}).Descriptor(0, 0, 2, 1).Data(2, {0, 0}).Trailer();
    PxGifCodec codec;
    PxMemFile in(comment.data(), comment.size());
    ASSERT_TRUE(codec.Decode(&in));
    EXPECT_STREQ(codec.GetComment(), "abc");
    EXPECT_EQ(codec.GetNumFrames(), 2);
    EXPECT_EQ(TopIndex(codec, 0, 0), 1);  // frame 0, not the last one

    GifBuilder xmp;  // application data other than a loop count is skipped
    xmp.Header(2, 1, 2).U8({0x21, 0xFF, 11, 'X', 'M', 'P', ' ', 'D', 'a', 't', 'a', 'X', 'M', 'P'});
    xmp.U8({5, 1, 2, 3, 4, 5, 0}).Descriptor(0, 0, 2, 1).Data(2, {1, 1}).Trailer();
    PxImage image;
    ASSERT_TRUE(DecodeGif(image, xmp));
    EXPECT_EQ(TopIndex(image, 1, 0), 1);

    GifBuilder damaged;  // a control block of the wrong size before any frame
    damaged.Header(2, 1, 2)
        .U8({0x21, 0xF9, 5, 0, 0, 0, 0, 0, 0})
        .Descriptor(0, 0, 2, 1)
        .Data(2, {1, 1});
    damaged.Trailer();
    EXPECT_FALSE(DecodeGif(image, damaged));
    EXPECT_STREQ(image.GetLastError(), "GIF damaged before the chosen frame");

    GifBuilder late;  // the same after frame 0: frame 0 is the result
    late.Header(2, 1, 2).Descriptor(0, 0, 2, 1).Data(2, {0, 1});
    late.U8({0x21, 0xF9, 5, 0, 0, 0, 0, 0, 0}).Descriptor(0, 0, 2, 1).Data(2, {1, 1}).Trailer();
    ASSERT_TRUE(DecodeGif(image, late, 1));
    EXPECT_EQ(TopIndex(image, 0, 0), 0);
}

TEST(GifDecode, LaterFramesDoNotLendTheirTransparencyOrTable) {
    GifBuilder gif;
    gif.Header(2, 1, 2).Descriptor(0, 0, 2, 1).Data(2, {1, 0});
    gif.Control(2, 1).Descriptor(0, 0, 2, 1, 0x80).U8({9, 9, 9, 8, 8, 8}).Data(2, {1, 0});
    gif.Control(2, -1).Descriptor(0, 0, 2, 1).Data(2, {1, 0}).Trailer();
    PxImage image;
    ASSERT_TRUE(DecodeGif(image, gif, 0));
    EXPECT_EQ(image.GetTransIndex(), -1);
    ASSERT_TRUE(DecodeGif(image, gif, 1));
    EXPECT_EQ(image.GetTransIndex(), 1);
    EXPECT_EQ(image.GetPixelColor(1, 0).rgbRed, 9);
    ASSERT_TRUE(DecodeGif(image, gif, 2));
    EXPECT_EQ(image.GetTransIndex(), -1);
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 1);  // the global table again
}

TEST(GifDecode, DataWithoutLeadingClearOrEndCodeStillParses) {
    GifBuilder gif;
    gif.Header(3, 1, 4).Descriptor(0, 0, 3, 1).Data(2, {3, 2, 1}, false, false);
    gif.Descriptor(0, 0, 3, 1).Data(2, {1, 1, 2}).Trailer();
    PxImage image;
    ASSERT_TRUE(DecodeGif(image, gif, 0));
    EXPECT_EQ(image.GetNumFrames(), 2);
    EXPECT_EQ(TopIndex(image, 0, 0), 3);
    EXPECT_EQ(TopIndex(image, 2, 0), 1);
    ASSERT_TRUE(DecodeGif(image, gif, 1));
    EXPECT_EQ(TopIndex(image, 2, 0), 2);
}

TEST(GifDecode, ShortAndBrokenDataEndTheFrame) {
    GifBuilder shortData;  // 2 of 6 pixels, then the file ends inside a sub-block
    shortData.Header(3, 2, 4).Control(1, 2).Descriptor(0, 0, 3, 2).Data(2, {1, 3});
    shortData.bytes.resize(shortData.bytes.size() - 1);
    shortData.bytes.back() = 200;
    PxImage image;
    ASSERT_TRUE(DecodeGif(image, shortData));
    EXPECT_EQ(TopIndex(image, 0, 0), 1);
    EXPECT_EQ(TopIndex(image, 2, 1), 2);  // unreached pixels take the transparent index

    GifBuilder badSize;  // code size 12: the frame holds only the fill
    badSize.Header(2, 2, 4).Descriptor(0, 0, 2, 2).Data(2, {1, 1, 1, 1});
    badSize.bytes[13 + 12 + 10] = 12;
    ASSERT_TRUE(DecodeGif(image, badSize));
    EXPECT_EQ(TopIndex(image, 1, 1), 0);

    GifBuilder tooMuch;  // more pixels than the frame holds, then a second frame
    tooMuch.Header(2, 1, 4).Descriptor(0, 0, 2, 1).Data(2, {1, 2, 3, 1, 2});
    tooMuch.Descriptor(0, 0, 2, 1).Data(2, {3, 3}).Trailer();
    ASSERT_TRUE(DecodeGif(image, tooMuch, 1));
    EXPECT_EQ(image.GetNumFrames(), 2);
    EXPECT_EQ(TopIndex(image, 0, 0), 3);

    // Codes beyond the next free slot and a table whose strings point at each
    // other: decoding stops, nothing is read or written out of place.
    GifBuilder hostile;
    hostile.Header(8, 8, 4).Descriptor(0, 0, 8, 8);
    hostile.U8({2, 4, 0xFC, 0xFF, 0xFF, 0xFF, 0});
    hostile.Trailer();
    EXPECT_TRUE(DecodeGif(image, hostile));

    GifBuilder huge;  // 65535 x 65535 from a few bytes
    huge.Header(10, 10, 2).Descriptor(0, 0, 65535, 65535).Data(2, {1}).Trailer();
    EXPECT_FALSE(DecodeGif(image, huge));
    EXPECT_STREQ(image.GetLastError(), "GIF frame too large for its data");

    GifBuilder empty;
    empty.Header(10, 10, 2).Descriptor(0, 0, 0, 10).Data(2, {}).Trailer();
    EXPECT_FALSE(DecodeGif(image, empty));
    EXPECT_STREQ(image.GetLastError(), "GIF frame has no pixels");
}

TEST(GifDecode, SignatureAndEscape) {
    GifBuilder gif;
    gif.Header(2, 1, 2).Descriptor(0, 0, 2, 1).Data(2, {1, 0}).Trailer();
    gif.bytes[4] = '7';  // GIF87a reads the same
    PxImage image;
    EXPECT_TRUE(DecodeGif(image, gif));
    gif.bytes[0] = 'J';
    EXPECT_FALSE(DecodeGif(image, gif));
    EXPECT_STREQ(image.GetLastError(), "");
    gif.bytes[0] = 'G';
    PxGifCodec codec;
    codec.SetEscape(1);
    PxMemFile in(gif.data(), gif.size());
    EXPECT_FALSE(codec.Decode(&in));
}
