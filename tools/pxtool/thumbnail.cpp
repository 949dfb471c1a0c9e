#include "thumbnail.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <set>

#include "options.h"
#include "stamp/thumbnail_picture.h"
#include "stamp/thumbnail_pool.h"

namespace pxtool {

const char* const kThumbnailHelp =
    "  thumbnail IN... [--as-stored] [--cache] [-j N] -o DIR\n"
    "      write the picture browser's 64 x 64 thumbnail of each IN (type from its\n"
    "      extension; a file that cannot be read gets the placeholder) as DIR/NAME.png,\n"
    "      NAME being IN's name without its extension (with it, when two inputs share\n"
    "      one); black, the list's mask colour, is transparent; inputs whose extension\n"
    "      names no picture are reported as skipped; --cache reads and writes the\n"
    "      desktop's shared thumbnail cache ($XDG_CACHE_HOME/thumbnails); N threads\n"
    "      make them (default: one per core, at most 8), the files and messages\n"
    "      coming in IN's order\n";

namespace {

constexpr int kSize = 64;

struct ThumbnailOptions {
    std::vector<std::string> inputs;
    std::string folder;
    bool asStored = false;
    bool cache = false;
    int threads = ThumbnailPool::DefaultSize();
};

ThumbnailOptions Parse(const std::vector<std::string>& args) {
    ThumbnailOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 >= args.size()) throw UsageError("-o needs a folder");
            options.folder = args[++i];
        } else if (args[i] == "-j") {
            if (i + 1 >= args.size()) throw UsageError("-j needs a number of threads");
            options.threads = static_cast<int>(ParseNumber(args[++i], 1, 64, "thread count"));
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

// One input's thumbnail as a pool thread made it, or why there is none.
struct Made {
    std::unique_ptr<PxImage> image;
    std::string refusal;  // a file that is no regular file: the error printed
};

// The browser lists regular files only; a FIFO or a device is refused as it would
// be never listed (the library would not wait on it either).
std::string Refusal(const std::string& input) {
    std::error_code statError;
    const auto kind = std::filesystem::status(input, statError).type();
    if (statError || kind == std::filesystem::file_type::regular) return {};
    return kind == std::filesystem::file_type::directory ? "Is a directory" : "not a regular file";
}

// Runs on a pool thread: everything it uses is its own.
Made MakeOne(const std::string& input, bool asStored, bool cache) {
    Made made;
    made.refusal = Refusal(input);
    if (!made.refusal.empty()) return made;
    auto image = std::make_unique<PxImage>();
    if (MakeListThumbnail(input, *image, LoadOptionsOf(asStored, {input, {}}), cache))
        made.image = std::move(image);
    return made;
}

// Reports and saves in input order, so the names given to inputs that share one
// and the messages are those of a single thread. False on an error.
bool Write(const std::string& input, const Made& made, const std::string& folder,
           std::set<std::string>& used) {
    if (!made.refusal.empty()) {
        std::cerr << "pxtool: cannot open " << input << ": " << made.refusal << "\n";
        return false;
    }
    if (!made.image) {
        std::cout << "skipped " << input << ": its extension names no picture\n";
        return true;
    }
    const std::string out = (std::filesystem::path(folder) / OutputName(input, used)).string();
    if (!made.image->Save(out.c_str(), PX_FORMAT_PNG)) {
        std::cerr << "pxtool: cannot write " << out << ": " << made.image->GetLastError() << "\n";
        return false;
    }
    return true;
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
    int status = 0;
    ThumbnailPool pool(options.threads);
    TakeInOrder<Made>(
        pool, options.inputs.size(),
        [inputs = options.inputs, asStored = options.asStored,
         cache = options.cache](std::size_t i) { return MakeOne(inputs[i], asStored, cache); },
        [&](std::size_t i, Made& made) {
            if (!Write(options.inputs[i], made, options.folder, used)) status = 1;
        },
        [] { return false; });
    return status;
}

}  // namespace pxtool
