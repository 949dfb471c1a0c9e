// Seeds for the JPEG, PNG and dispatch fuzzers that reach the metadata paths: EXIF
// orientations, ICC profiles whole and in pieces, 16-bit and palette PNG files
// with profiles. Written where FuzzSeeds.Make points, checked to decode either way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "imaging/px_image.h"
#include "imaging/support/icc_profiles.h"
#include "imaging/support/metadata_splice.h"
#include "imaging/support/picture_tools.h"
#include "imaging/support/png_builder.h"

namespace {

PxImage Gradient() {
    PxImage image;
    image.Create(24, 16, 24, PX_FORMAT_PNG);
    for (LONG y = 0; y < 16; ++y)
        for (LONG x = 0; x < 24; ++x)
            image.SetPixelColor(
                x, y, RGBQUAD{static_cast<BYTE>(10 * x), static_cast<BYTE>(15 * y), 90, 0});
    return image;
}

Bytes DeepPng(int colorType, bool interlaced) {
    PngRecipe r;
    r.width = 9;
    r.height = 7;
    r.bitDepth = 16;
    r.colorType = colorType;
    r.interlaced = interlaced;
    const int channels = colorType == PNG_COLOR_TYPE_RGB          ? 3
                         : colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                  : 4;
    for (int y = 0; y < r.height; ++y) {
        std::vector<png_byte> row;
        for (int i = 0; i < r.width * channels * 2; ++i)
            row.push_back(static_cast<png_byte>(i * 29 + y * 7));
        r.rows.push_back(row);
    }
    return WritePngDirectly(r);
}

struct Seed {
    std::string target, name;
    Bytes bytes;
    DWORD type;
};

std::vector<Seed> MakeSeeds() {
    const Bytes rgbProfile = SaveProfile(LinearRec2020().get());
    const Bytes greyProfile = SaveProfile(LinearGrey().get());
    PxImage picture = Gradient();
    const Bytes jpeg = EncodeToBytes(picture, PX_FORMAT_JPG);
    const Bytes png = EncodeToBytes(picture, PX_FORMAT_PNG);
    const Bytes exif = ExifWithOrientation(6);

    std::vector<Seed> seeds;
    Bytes jpegBoth = InsertJpegSegments(jpeg, 0xE2, IccSegments(rgbProfile, 300));
    jpegBoth = InsertJpegSegments(jpegBoth, 0xE1, {WithExifHeader(exif)});
    seeds.push_back({"fuzz_jpeg", "exif_icc_pieces.jpg", jpegBoth, PX_FORMAT_JPG});
    seeds.push_back(
        {"fuzz_jpeg", "exif_little_endian.jpg",
         InsertJpegSegments(jpeg, 0xE1, {WithExifHeader(ExifWithOrientation(8, false))}),
         PX_FORMAT_JPG});
    Bytes pngBoth =
        InsertPngChunk(InsertPngChunk(png, "iCCP", IccpChunkData(rgbProfile)), "eXIf", exif);
    seeds.push_back({"fuzz_png", "exif_icc.png", pngBoth, PX_FORMAT_PNG});
    seeds.push_back(
        {"fuzz_png", "rgb16_interlaced_icc.png",
         InsertPngChunk(DeepPng(PNG_COLOR_TYPE_RGB, true), "iCCP", IccpChunkData(rgbProfile)),
         PX_FORMAT_PNG});
    seeds.push_back({"fuzz_png", "rgba16_icc.png",
                     InsertPngChunk(DeepPng(PNG_COLOR_TYPE_RGB_ALPHA, false), "iCCP",
                                    IccpChunkData(rgbProfile)),
                     PX_FORMAT_PNG});
    seeds.push_back({"fuzz_png", "grey_alpha16_icc.png",
                     InsertPngChunk(DeepPng(PNG_COLOR_TYPE_GRAY_ALPHA, true), "iCCP",
                                    IccpChunkData(greyProfile)),
                     PX_FORMAT_PNG});
    // The dispatch's first byte: the type, with bit 6 turning the options on.
    for (const Seed& s : std::vector<Seed>(seeds)) {
        BYTE first = 0x40;
        while (first % 6 != s.type)
            ++first;
        Bytes withType{first};
        withType.insert(withType.end(), s.bytes.begin(), s.bytes.end());
        seeds.push_back({"fuzz_dispatch", "options_" + s.name, withType, s.type});
    }
    return seeds;
}

}  // namespace

TEST(FuzzSeeds, MetadataPictures) {
    TempFolder fallback;
    const char* env = std::getenv("OSTREL_FUZZ_SEEDS");
    for (const Seed& s : MakeSeeds()) {
        SCOPED_TRACE(s.target + "/" + s.name);
        const std::filesystem::path folder = env && *env
                                                 ? std::filesystem::path(env) / s.target
                                                 : std::filesystem::path(fallback.File(s.target));
        std::filesystem::create_directories(folder);
        ASSERT_TRUE(WriteBytes((folder / s.name).string(), s.bytes));
        const bool dispatch = s.target == "fuzz_dispatch";
        const Bytes file = dispatch ? Bytes(s.bytes.begin() + 1, s.bytes.end()) : s.bytes;
        PxLoadOptions options;
        options.upright = options.toSrgb = true;
        PxImage image;
        EXPECT_TRUE(DecodeBytes(file, s.type, options, image)) << image.GetLastError();
    }
}
