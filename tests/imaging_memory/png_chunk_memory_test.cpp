// What a PNG's chunks declare never becomes an allocation: every allocation of
// the decoder is watched (the fuzz replays' allocator watch), so a decoder that
// believes a declared length fails here deterministically, whatever the machine's
// memory.
#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/malloc_limit.h"
#include "imaging/px_image.h"
#include "imaging/px_message.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Beyond this, an allocation was made for what a chunk declares (the pictures
// here are a few pixels).
constexpr std::size_t kFewMegabytes = 6u << 20;
constexpr int kGrey = 0, kPalette = 3;  // colour types

void Put32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

// A whole chunk, length and CRC as the data has them.
void Chunk(Bytes& out, const char* type, const Bytes& data) {
    Put32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0, out.data() + start, static_cast<uInt>(out.size() - start));
    Put32(out, static_cast<std::uint32_t>(crc));
}

Bytes Deflated(const Bytes& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    Bytes out(size);
    EXPECT_EQ(compress(out.data(), &size, data.data(), static_cast<uLong>(data.size())), Z_OK);
    out.resize(size);
    return out;
}

// The signature and the header of a 4 x 2 picture with one byte per pixel.
Bytes Start(int colorType) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    Put32(ihdr, 4);
    Put32(ihdr, 2);
    ihdr.insert(ihdr.end(), {8, static_cast<unsigned char>(colorType), 0, 0, 0});
    Chunk(out, "IHDR", ihdr);
    return out;
}

// Rows of index or grey value 1, then the end.
void Finish(Bytes& out) {
    Chunk(out, "IDAT", Deflated({0, 1, 1, 1, 1, 0, 1, 1, 1, 1}));
    Chunk(out, "IEND", {});
}

struct Decoded {
    bool ok;
    std::string error;
    std::size_t largest;
    LONG transIndex;
};

Decoded Decode(Bytes file) {
    const PxQuietMessages quiet;
    PxImage image;
    ResetLargestAllocation();
    const bool ok = image.Decode(file.data(), static_cast<DWORD>(file.size()), PX_FORMAT_PNG);
    return {ok, image.GetLastError(), LargestAllocation(), image.GetTransIndex()};
}

}  // namespace

// The 41-byte file of the report: a header, then a chunk's length and type only.
TEST(PngChunkMemory, AChunkDeclaringGigabytesCostsNothingBeforeTheFileEnds) {
    for (const char* type : {"tEXt", "zTXt", "iTXt", "iCCP", "eXIf", "sPLT", "prVt"}) {
        for (const std::uint32_t declared : {0x7FFFFFFFu, 0x20000000u, 0x00200000u}) {
            Bytes file = Start(kGrey);
            Put32(file, declared);
            file.insert(file.end(), type, type + 4);
            const auto start = std::chrono::steady_clock::now();
            const Decoded d = Decode(file);
            EXPECT_FALSE(d.ok) << type;
            EXPECT_EQ(d.error, "Read Error") << type;
            EXPECT_LT(d.largest, kFewMegabytes) << type << " declaring " << declared;
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << type;
        }
    }
}

// Chunks that are really there but exceed their caps, or are never needed, are
// passed over and the picture decodes as without them; the chunk after a skipped
// one of the same type is read as usual.
TEST(PngChunkMemory, OversizedAndUnusedChunksAreSkippedAndThePictureStays) {
    Bytes file = Start(kPalette);
    Chunk(file, "tEXt", Bytes(2u << 20, 'a'));  // a 2 MB text
    Bytes text = {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 0};
    const Bytes inflatesToAMegabyte = Deflated(Bytes(1u << 20, 'z'));
    text.insert(text.end(), inflatesToAMegabyte.begin(), inflatesToAMegabyte.end());
    for (int i = 0; i < 300; ++i)
        Chunk(file, "zTXt", text);  // 300 MB of text in a third of a megabyte
    Chunk(file, "PLTE", {0, 0, 0, 255, 0, 0});
    // A profile whose own header claims 6 MB, compressed into a few kilobytes.
    Bytes profile(6u << 20, 0);
    profile[0] = 0x00, profile[1] = 0x60;
    Bytes iccp = {'p', 0, 0};
    const Bytes packed = Deflated(profile);
    iccp.insert(iccp.end(), packed.begin(), packed.end());
    Chunk(file, "iCCP", iccp);
    Chunk(file, "prVt", Bytes(3u << 20, 7));  // unknown, over the cap
    Chunk(file, "tRNS", Bytes(2u << 20, 0));  // over the cap: skipped, as it is invalid
    Chunk(file, "tRNS", {0});                 // the same type again: read
    Finish(file);

    const auto start = std::chrono::steady_clock::now();
    const Decoded d = Decode(file);
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.transIndex, 0);
    EXPECT_GT(d.largest, 0u);  // the watch sees allocations at all
    EXPECT_LT(d.largest, kFewMegabytes);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}
