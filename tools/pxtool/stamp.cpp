#include "stamp.h"

#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include "imaging/px_io_file.h"
#include "library_messages.h"
#include "options.h"
#include "stamp/edit_picture.h"
#include "stamp/stamp_converter.h"

namespace pxtool {

const char* const kStampHelp =
    "  stamp IN [--size 32|16] [--select L,T,R,B | --all] [--rotate left|right]\n"
    "        [--mirror] [--flip] [--lightness V] [--pick X,Y ...] [--tolerance T] [--as-stored]\n"
    "        -o OUT.png\n"
    "      make a stamp as the wizard does: IN (type from its extension) is shown in the\n"
    "      editor's 182 x 182 box at (33, 110); --select is the square frame there in page\n"
    "      coordinates (default: the largest centred square), --all the whole picture\n"
    "      letterboxed; rotations, mirror and flip apply in the order given; V is the\n"
    "      lightness control's value (brightness V / 60 x 128); each pick X,Y on the\n"
    "      128-pixel magnified stamp makes its colour transparent within tolerance T\n"
    "      (default: the setting \"StampTolerance\", 16 when unreadable); OUT is an 8-bit\n"
    "      palette PNG\n";

namespace {

// Editor page coordinates of the picture box and of the magnified stamp.
constexpr LONG kEditX = 33, kEditY = 110;
constexpr LONG kMagnifiedX = 107, kMagnifiedY = 167;
constexpr double kMagnifiedSide = 128.0;

std::vector<long> Split(const std::string& text, std::size_t count, long min, long max,
                        const char* what) {
    std::vector<long> values;
    std::size_t start = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t end = i + 1 == count ? text.size() : text.find(',', start);
        if (end == std::string::npos)
            throw UsageError(std::string("bad ") + what + " '" + text + "'");
        values.push_back(ParseNumber(text.substr(start, end - start), min, max, what));
        start = end + 1;
    }
    return values;
}

bool LooksLikePoint(const std::string& text) {
    const std::size_t comma = text.find(',');
    return comma != std::string::npos && comma > 0 &&
           text.find(',', comma + 1) == std::string::npos &&
           text.find_first_not_of("0123456789,-") == std::string::npos;
}

POINT ParsePoint(const std::string& text) {
    const std::vector<long> xy = Split(text, 2, -100000, 100000, "pick");
    return POINT{static_cast<LONG>(xy[0]), static_cast<LONG>(xy[1])};
}

bool HasPngExtension(const std::string& name) {
    std::string extension = std::filesystem::path(name).extension().string();
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return extension == ".png";
}

// Opened through the library's stream first, so that a file that cannot be opened
// at all is told with the system's reason rather than as a box without one.
bool Opens(const std::string& input) {
    PxIOFile file;
    if (file.Open(input.c_str(), "rb")) return true;
    std::cerr << "pxtool: cannot open " << input << ": " << file.OpenError() << "\n";
    return false;
}

// The editor's own frame fails only on a picture with too few pixels in one way.
int CannotExtract(const CEditPicture& picture, const StampOptions& options) {
    if (!options.selectAll && !options.select) {
        std::cerr << "pxtool: " << options.input << " (" << picture.GetWidth() << " x "
                  << picture.GetHeight()
                  << ") is too narrow or too small to give a frame; --all takes it whole\n";
    } else if (!options.selectAll) {
        std::cerr << "pxtool: the frame gives no stamp of " << options.input << " ("
                  << picture.GetWidth() << " x " << picture.GetHeight()
                  << "); choose one over the picture, or --all takes it whole\n";
    } else {
        std::cerr << "pxtool: Can't extract!\n";
    }
    return 1;
}

void RunEdit(CEditPicture& picture, const std::string& edit) {
    if (edit == "left") picture.RotateLeft();
    if (edit == "right") picture.RotateRight();
    if (edit == "mirror") picture.Mirror();
    if (edit == "flip") picture.Flip();
}

}  // namespace

StampOptions ParseStampOptions(const std::vector<std::string>& args) {
    StampOptions options;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
            return args[++i];
        };
        if (arg == "-o") {
            options.output = value();
        } else if (arg == "--size") {
            const std::string& side = value();
            if (side != "16" && side != "32")
                throw UsageError("bad size '" + side + "' (32 or 16)");
            options.format = side == "16" ? 1 : 0;
        } else if (arg == "--select") {
            const std::vector<long> r = Split(value(), 4, -100000, 100000, "selection");
            options.select = RECT{static_cast<LONG>(r[0]), static_cast<LONG>(r[1]),
                                  static_cast<LONG>(r[2]), static_cast<LONG>(r[3])};
            if (r[2] <= r[0] || r[3] <= r[1])
                throw UsageError("the selection " + args[i] + " is empty (L,T,R,B: R > L, B > T)");
        } else if (arg == "--all") {
            options.selectAll = true;
        } else if (arg == "--rotate") {
            const std::string& way = value();
            if (way != "left" && way != "right") throw UsageError("bad rotation (left or right)");
            options.edits.push_back(way);
        } else if (arg == "--mirror" || arg == "--flip") {
            options.edits.push_back(arg.substr(2));
        } else if (arg == "--lightness") {
            options.lightness = ParseNumber(value(), -100000, 100000, "lightness");
        } else if (arg == "--pick") {
            options.picks.push_back(ParsePoint(value()));
            while (i + 1 < args.size() && LooksLikePoint(args[i + 1]))
                options.picks.push_back(ParsePoint(args[++i]));
        } else if (arg == "--tolerance") {
            options.tolerance = static_cast<DWORD>(ParseNumber(value(), 0, 1000000, "tolerance"));
        } else if (arg == "--as-stored") {
            options.asStored = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option " + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 1) throw UsageError("stamp takes one IN");
    if (options.output.empty()) throw UsageError("stamp needs -o OUT.png");
    if (!HasPngExtension(options.output))
        throw UsageError("a stamp is a PNG: OUT must end in .png, not '" + options.output + "'");
    if (options.selectAll && options.select)
        throw UsageError("--select and --all exclude each other");
    options.input = positional[0];
    return options;
}

int RunStamp(const std::vector<std::string>& args) {
    const StampOptions options = ParseStampOptions(args);
    CEditPicture picture;
    picture.originX = kEditX;
    picture.originY = kEditY;
    const std::size_t said = MessagesPrinted();
    if (!Opens(options.input)) return 1;
    if (!picture.Open(options.input, kAcceptAll, 0,
                      LoadOptionsOf(options.asStored, {options.input, std::nullopt}))) {
        if (MessagesPrinted() == said)
            std::cerr << "pxtool: cannot open " << options.input << " as a picture\n";
        return 1;
    }
    for (const std::string& edit : options.edits)
        RunEdit(picture, edit);
    picture.ComputeDisplayRects();
    const RECT frame = options.select ? *options.select : CenteredSquare(picture.displayRect);

    CPreviewPicture stamp;
    stamp.lightness = static_cast<double>(options.lightness) / 60;
    if (!ExtractStamp(picture, options.selectAll, options.format, frame, stamp))
        return CannotExtract(picture, options);
    CStampConverter converter;
    if (options.tolerance) converter.toleranceSource = [t = *options.tolerance] { return t; };
    if (!converter.Attach(&stamp, kMagnifiedSide / stamp.GetWidth())) {
        std::cerr << "pxtool: cannot prepare the stamp\n";
        return 1;
    }
    for (const POINT& pick : options.picks) {
        if (!converter.HitPicture(kMagnifiedX + pick.x, kMagnifiedY + pick.y))
            std::cerr << "pxtool: pick " << pick.x << "," << pick.y
                      << " lies off the magnified stamp; ignored\n";
        converter.PickAt(kMagnifiedX + pick.x, kMagnifiedY + pick.y);
    }
    // As in the wizard, a failed conversion still saves what there is.
    if (!converter.ConvertToStamp(*stamp.image))
        std::cerr << "pxtool: the stamp's colours could not be reduced\n";
    if (std::string reason; !stamp.SaveAs(options.output, PX_FORMAT_PNG, 8, &reason)) {
        std::cerr << "pxtool: cannot write " << options.output
                  << (reason.empty() ? std::string() : ": " + reason) << "\n";
        return 1;
    }
    return 0;
}

}  // namespace pxtool
