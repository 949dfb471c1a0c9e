#include "thumbnail.h"

#include <filesystem>
#include <iostream>
#include <set>

#include "options.h"
#include "stamp/thumbnail_picture.h"

namespace pxtool {

const char* const kThumbnailHelp =
    "  thumbnail IN... [--as-stored] [--cache] -o DIR\n"
    "      write the picture browser's 64 x 64 thumbnail of each IN (type from its\n"
    "      extension; a file that cannot be read gets the placeholder) as DIR/NAME.png,\n"
    "      NAME being IN's name without its extension (with it, when two inputs share\n"
    "      one); black, the list's mask colour, is transparent; inputs whose extension\n"
    "      names no picture are reported as skipped; --cache reads and writes the\n"
    "      desktop's shared thumbnail cache ($XDG_CACHE_HOME/thumbnails)\n";

namespace {

constexpr int kSize = 64;

struct ThumbnailOptions {
    std::vector<std::string> inputs;
    std::string folder;
    bool asStored = false;
    bool cache = false;
};

ThumbnailOptions Parse(const std::vector<std::string>& args) {
    ThumbnailOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 >= args.size()) throw UsageError("-o needs a folder");
            options.folder = args[++i];
        } else if (args[i] == "--as-stored") {
            options.asStored = true;
        } else if (args[i] == "--cache") {
            options.cache = true;
        } else {
            options.inputs.push_back(args[i]);
        }
    }
    if (options.folder.empty()) throw UsageError("thumbnail needs -o DIR");
    if (options.inputs.empty()) throw UsageError("thumbnail needs at least one input");
    return options;
}

// The list's mask: its black pixels are not drawn.
void MaskBlack(PxImage& image) {
    image.IncreaseBpp(24);
    image.AlphaCreate();
    for (LONG y = 0; y < static_cast<LONG>(image.GetHeight()); ++y) {
        for (LONG x = 0; x < static_cast<LONG>(image.GetWidth()); ++x) {
            const RGBQUAD c = image.GetPixelColor(x, y);
            const bool black = c.rgbRed == 0 && c.rgbGreen == 0 && c.rgbBlue == 0;
            image.AlphaSet(x, y, black ? 0 : 255);
        }
    }
}

std::string OutputName(const std::filesystem::path& input, std::set<std::string>& used) {
    std::string name = input.stem().string();
    if (!used.insert(name).second) {
        name = input.filename().string();
        used.insert(name);
    }
    return name + ".png";
}

}  // namespace

bool MakeListThumbnail(const std::string& path, PxImage& image, const PxLoadOptions& load,
                       bool useCache) {
    if (LoadThumbnailPicture(path, image, load, useCache) == 0) return false;
    MakeSquareThumbnail(image, kSize);
    MaskBlack(image);
    return true;
}

int RunThumbnail(const std::vector<std::string>& args) {
    const ThumbnailOptions options = Parse(args);
    std::error_code error;
    std::filesystem::create_directories(options.folder, error);
    std::set<std::string> used;
    PxImage image;
    int status = 0;
    for (const std::string& input : options.inputs) {
        // The browser lists regular files only; a FIFO or a device is refused as it
        // would be never listed (the library would not wait on it either).
        std::error_code statError;
        const auto kind = std::filesystem::status(input, statError).type();
        if (!statError && kind != std::filesystem::file_type::regular) {
            std::cerr << "pxtool: cannot open " << input << ": "
                      << (kind == std::filesystem::file_type::directory ? "Is a directory"
                                                                        : "not a regular file")
                      << "\n";
            status = 1;
            continue;
        }
        if (!MakeListThumbnail(input, image, LoadOptionsOf(options.asStored, {input, {}}),
                               options.cache)) {
            std::cout << "skipped " << input << ": its extension names no picture\n";
            continue;
        }
        const std::string out =
            (std::filesystem::path(options.folder) / OutputName(input, used)).string();
        if (!image.Save(out.c_str(), PX_FORMAT_PNG)) {
            std::cerr << "pxtool: cannot write " << out << ": " << image.GetLastError() << "\n";
            status = 1;
        }
    }
    return status;
}

}  // namespace pxtool
