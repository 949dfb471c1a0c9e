// What our GIF writers produce, read back by giflib: the same indices, colours,
// transparency, offsets, delays and loop count that went in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "imaging/px_encode_bytes.h"
#include "imaging/px_gif_codec.h"
#include "imaging/px_image.h"
#include "imaging/px_mem_file.h"
#include "support/giflib_reader.h"

namespace {

const std::vector<std::pair<DWORD, DWORD>> kSizes = {
    {1, 1}, {1, 1000}, {17, 15}, {18, 16}, {333, 77}};

// Runs of one index broken by noise, with a palette of distinct colours.
PxImage Picture(DWORD width, DWORD height, int bpp, int colours, unsigned seed) {
    PxImage image(width, height, static_cast<DWORD>(bpp), PX_FORMAT_GIF);
    for (int i = 0; i < (1 << bpp); ++i)
        image.SetPaletteIndex(static_cast<BYTE>(i), static_cast<BYTE>(i),
                              static_cast<BYTE>(seed + 3 * i), static_cast<BYTE>(255 - i));
    int value = 0;
    for (DWORD y = 0; y < height; ++y) {
        for (DWORD x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            if ((seed >> 16) % 7 == 0) value = static_cast<int>((seed >> 8) % colours);
            image.SetPixelIndex(static_cast<LONG>(x), static_cast<LONG>(y),
                                static_cast<BYTE>(value));
        }
    }
    return image;
}

std::vector<BYTE> Encoded(PxImage& image) {
    return EncodeToBytes(image, PX_FORMAT_GIF);
}

void ExpectFrame(const PxImage& image, const GiflibFrame& frame, const char* what) {
    ASSERT_EQ(frame.width, static_cast<int>(image.GetWidth())) << what;
    ASSERT_EQ(frame.height, static_cast<int>(image.GetHeight())) << what;
    LONG left = 0, top = 0;
    image.GetOffset(&left, &top);
    EXPECT_EQ(frame.left, left) << what;
    EXPECT_EQ(frame.top, top) << what;
    EXPECT_EQ(frame.transparent, image.GetTransIndex()) << what;
    ASSERT_EQ(frame.colours.size(), 3u * image.GetNumColors()) << what;
    for (DWORD i = 0; i < image.GetNumColors(); ++i) {
        const RGBQUAD c = image.GetPaletteColor(static_cast<BYTE>(i));
        ASSERT_EQ(frame.colours[3 * i], c.rgbRed) << what;
        ASSERT_EQ(frame.colours[3 * i + 1], c.rgbGreen) << what;
        ASSERT_EQ(frame.colours[3 * i + 2], c.rgbBlue) << what;
    }
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x)
            ASSERT_EQ(frame.indices[static_cast<std::size_t>(y) * frame.width + x],
                      image.GetPixelIndex(x, frame.height - 1 - y))
                << what << " at " << x << "," << y;
}

}  // namespace

TEST(GifInterop, PalettedPicturesOfAwkwardSizes) {
    for (auto [width, height] : kSizes) {
        for (auto [bpp, colours] : {std::pair{1, 1}, std::pair{1, 2}, std::pair{4, 3},
                                    std::pair{4, 16}, std::pair{8, 5}, std::pair{8, 256}}) {
            for (bool transparent : {false, true}) {
                PxImage image = Picture(width, height, bpp, colours, width * 31 + height);
                if (transparent) image.SetTransIndex(colours - 1);
                std::vector<BYTE> gif = Encoded(image);
                const auto theirs = ReadWithGiflib(gif.data(), gif.size());
                ASSERT_TRUE(theirs) << width << "x" << height << " " << bpp;
                ASSERT_EQ(theirs->frames.size(), 1u);
                ExpectFrame(image, theirs->frames[0], "still");
            }
        }
    }
}

// giflib sees the tiles; painted onto the screen they give the picture's colours.
TEST(GifInterop, TiledTrueColourPictures) {
    for (auto [width, height] : kSizes) {
        PxImage image(width, height, 24, PX_FORMAT_GIF);
        unsigned seed = width + height;
        for (LONG y = 0; y < static_cast<LONG>(height); ++y) {
            for (LONG x = 0; x < static_cast<LONG>(width); ++x) {
                seed = seed * 1103515245u + 12345u;
                image.SetPixelColor(
                    x, y,
                    RGBQUAD{static_cast<BYTE>(seed >> 8), static_cast<BYTE>(seed >> 16),
                            static_cast<BYTE>(seed >> 24), 0});
            }
        }
        std::vector<BYTE> gif = Encoded(image);
        const auto theirs = ReadWithGiflib(gif.data(), gif.size());
        ASSERT_TRUE(theirs);
        ASSERT_EQ(theirs->screenWidth, static_cast<int>(width));
        std::vector<BYTE> screen(3u * width * height, 0);
        for (const GiflibFrame& tile : theirs->frames) {
            for (int y = 0; y < tile.height; ++y) {
                for (int x = 0; x < tile.width; ++x) {
                    const int index = tile.indices[static_cast<std::size_t>(y) * tile.width + x];
                    const std::size_t at =
                        3 * (static_cast<std::size_t>(tile.top + y) * width + tile.left + x);
                    for (int c = 0; c < 3; ++c)
                        screen[at + c] = tile.colours[3 * index + c];
                }
            }
        }
        for (LONG y = 0; y < static_cast<LONG>(height); ++y) {
            for (LONG x = 0; x < static_cast<LONG>(width); ++x) {
                const RGBQUAD c = image.GetPixelColor(x, static_cast<LONG>(height) - 1 - y);
                const std::size_t at = 3 * (static_cast<std::size_t>(y) * width + x);
                ASSERT_EQ(screen[at], c.rgbRed)
                    << width << "x" << height << " at " << x << "," << y;
                ASSERT_EQ(screen[at + 1], c.rgbGreen);
                ASSERT_EQ(screen[at + 2], c.rgbBlue);
            }
        }
    }
}

TEST(GifInterop, AnimationFramesDelaysAndLoopCount) {
    PxImage a = Picture(333, 77, 8, 256, 1), b = Picture(18, 16, 4, 16, 2),
            c = Picture(1, 1, 1, 2, 3);
    b.SetOffset(300, 60);
    b.SetTransIndex(4);
    b.SetFrameDelay(25);
    c.SetOffset(0, 76);
    c.SetFrameDelay(300);
    PxImage* frames[] = {&a, &b, &c};
    PxGifCodec writer;
    writer.SetLoopCount(3);
    PxMemFile file;
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(writer.Encode(&file, frames, 3)) << writer.GetLastError();
    const auto size = static_cast<std::size_t>(file.Size());
    BYTE* bytes = file.GetBuffer();
    const auto theirs = ReadWithGiflib(bytes, size);
    std::free(bytes);
    ASSERT_TRUE(theirs);
    EXPECT_EQ(theirs->loopCount, 3);
    ASSERT_EQ(theirs->frames.size(), 3u);
    const char* names[] = {"frame 0", "frame 1", "frame 2"};
    for (int i = 0; i < 3; ++i) {
        ExpectFrame(*frames[i], theirs->frames[i], names[i]);
        EXPECT_EQ(theirs->frames[i].delay, static_cast<int>(frames[i]->GetFrameDelay()));
    }
}
