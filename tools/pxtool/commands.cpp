#include "commands.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "imaging/px_image.h"
#include "imaging/px_io_file.h"
#include "library_messages.h"

namespace pxtool {
namespace {

// The files of the command line, exactly `count` of them.
std::vector<FileArgument> ExpectFiles(const Options& options, std::size_t count, const char* what) {
    std::vector<FileArgument> files = FileArguments(options.positional);
    if (files.size() != count) RefuseFiles(files, what);
    return files;
}

int EncodeFailure(const std::string& file, DWORD type, const PxImage& image) {
    const char* reason = image.GetLastError();
    std::cerr << "pxtool: cannot encode " << file << ": "
              << (*reason ? reason
                          : std::string("the picture cannot be written as ") + TypeName(type))
              << "\n";
    return 1;
}

// Decodes the file, asking for the chosen frame of an animation. The decoders'
// own message boxes stay quiet: the failure is told once, below.
bool DecodeFile(PxImage& image, const FileArgument& file, const Options& options) {
    const DWORD type = TypeOf(file);
    if (options.frame) image.SetFrame(*options.frame);
    PxIOFile stream;
    if (!stream.Open(file.name.c_str(), "rb")) {
        std::cerr << "pxtool: cannot open " << file.name << ": " << stream.OpenError() << "\n";
        return false;
    }
    const QuietLibrary quiet;
    const bool ok = image.Decode(&stream, type, LoadOptionsOf(options.asStored, file));
    if (!ok) {
        std::cerr << "pxtool: cannot decode " << file.name << ": " << DecodeFailure(image, type)
                  << "\n";
    }
    return ok && ApplyOperations(options.operations, image, file.name);
}

}  // namespace

int RunInfo(const Options& options) {
    const auto files = ExpectFiles(options, 1, "info takes one FILE");
    PxImage image;
    if (!DecodeFile(image, files[0], options)) return 1;
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
    const auto files = ExpectFiles(options, 2, "convert takes IN and OUT");
    const DWORD outType = TypeOf(files[1]);
    PxImage image;
    if (!DecodeFile(image, files[0], options)) return 1;
    if (options.quality) image.SetJpegQuality(static_cast<BYTE>(*options.quality));
    if (!image.Save(files[1].name.c_str(), outType))
        return EncodeFailure(files[1].name, outType, image);
    return 0;
}

// P6 with the top row first, palette colours resolved, alpha ignored.
int RunPpm(const Options& options) {
    const auto files = ExpectFiles(options, 2, "ppm takes IN and OUT.ppm");
    const std::string& outName = files[1].name;
    if (files[1].type) throw UsageError("OUT.ppm takes no TYPE");
    PxImage image;
    if (!DecodeFile(image, files[0], options)) return 1;
    const LONG width = static_cast<LONG>(image.GetWidth());
    const LONG height = static_cast<LONG>(image.GetHeight());
    std::vector<unsigned char> row(3 * static_cast<std::size_t>(width));
    std::FILE* out = std::fopen(outName.c_str(), "wb");
    if (!out) {
        std::perror(("pxtool: cannot write " + outName).c_str());
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
    if (!ok) std::perror(("pxtool: cannot write " + outName).c_str());
    return ok ? 0 : 1;
}

}  // namespace pxtool
