#include "commands.h"

#include <cstdio>
#include <iostream>
#include <vector>

#include "imaging/px_image.h"

namespace pxtool {
namespace {

void ExpectArguments(const Options& options, std::size_t count, const char* usage) {
    if (options.positional.size() != count) throw UsageError(std::string("usage: ") + usage);
}

int LibraryFailure(const char* what, const std::string& file, const PxImage& image) {
    std::cerr << "pxtool: " << what << " " << file << ": " << image.GetLastError() << "\n";
    return 1;
}

// Decodes FILE as TYPE, asking for the chosen frame of an animation.
bool DecodeFile(PxImage& image, const std::string& file, DWORD type, const Options& options) {
    if (options.frame) image.SetFrame(*options.frame);
    std::FILE* stream = std::fopen(file.c_str(), "rb");
    if (!stream) {
        std::perror(("pxtool: " + file).c_str());
        return false;
    }
    const bool ok = image.Decode(stream, type);
    std::fclose(stream);
    if (!ok) LibraryFailure("cannot decode", file, image);
    return ok && ApplyOperations(options.operations, image, file);
}

}  // namespace

int RunInfo(const Options& options) {
    ExpectArguments(options, 2, "pxtool info FILE TYPE [--frame N]");
    PxImage image;
    if (!DecodeFile(image, options.positional[0], ParseType(options.positional[1]), options))
        return 1;
    const RGBQUAD trans = image.GetTransColor();
    std::printf(
        "width=%u height=%u bpp=%u type=%u frames=%d frame=%d trans_index=%d "
        "trans_color=%02X%02X%02X alpha=%s delay=%u\n",
        image.GetWidth(), image.GetHeight(), unsigned{image.GetBpp()}, image.GetType(),
        image.GetNumFrames(), image.GetFrame(), image.GetTransIndex(), trans.rgbRed, trans.rgbGreen,
        trans.rgbBlue, image.HasAlpha() ? "yes" : "no", image.GetFrameDelay());
    return 0;
}

int RunConvert(const Options& options) {
    ExpectArguments(options, 4, "pxtool convert IN TYPE OUT TYPE [--frame N] [--quality Q]");
    const DWORD inType = ParseType(options.positional[1]);
    const DWORD outType = ParseType(options.positional[3]);
    PxImage image;
    if (!DecodeFile(image, options.positional[0], inType, options)) return 1;
    if (options.quality) image.SetJpegQuality(static_cast<BYTE>(*options.quality));
    if (!image.Save(options.positional[2].c_str(), outType))
        return LibraryFailure("cannot encode", options.positional[2], image);
    return 0;
}

// P6 with the top row first, palette colours resolved, alpha ignored.
int RunPpm(const Options& options) {
    ExpectArguments(options, 3, "pxtool ppm IN TYPE OUT.ppm [--frame N]");
    PxImage image;
    if (!DecodeFile(image, options.positional[0], ParseType(options.positional[1]), options))
        return 1;
    const LONG width = static_cast<LONG>(image.GetWidth());
    const LONG height = static_cast<LONG>(image.GetHeight());
    std::vector<unsigned char> row(3 * static_cast<std::size_t>(width));
    std::FILE* out = std::fopen(options.positional[2].c_str(), "wb");
    if (!out) {
        std::perror(("pxtool: " + options.positional[2]).c_str());
        return 1;
    }
    bool ok = std::fprintf(out, "P6\n%d %d\n255\n", width, height) > 0;
    for (LONG y = height - 1; ok && y >= 0; --y) {
        for (LONG x = 0; x < width; ++x) {
            const RGBQUAD c = image.GetPixelColor(x, y);
            row[3 * x] = c.rgbRed;
            row[3 * x + 1] = c.rgbGreen;
            row[3 * x + 2] = c.rgbBlue;
        }
        ok = std::fwrite(row.data(), 1, row.size(), out) == row.size();
    }
    ok = std::fclose(out) == 0 && ok;
    if (!ok) std::perror(("pxtool: " + options.positional[2]).c_str());
    return ok ? 0 : 1;
}

}  // namespace pxtool
