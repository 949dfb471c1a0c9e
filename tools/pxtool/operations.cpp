#include "operations.h"

#include <iostream>
#include <string>

#include "imaging/px_image.h"
#include "options.h"

namespace pxtool {

const char* const kOperationsHelp =
    "Operations, applied after decoding in the order given:\n"
    "  --resample WxH[:fast|:smooth]  scale; fast = nearest neighbour, smooth (default)\n"
    "                                 = area averaging or bilinear\n"
    "  --rotate left|right            quarter turn\n"
    "  --mirror, --flip               exchange left and right / top and bottom\n"
    "  --crop L,T,R,B                 cut out a rectangle measured from the top left\n"
    "  --bpp N[:diffuse]              1, 4, 8 or 24 bits per pixel; fewer bits map onto\n"
    "                                 the standard palette, :diffuse spreads the error\n"
    "  --light B,C                    brightness B, contrast C percent (100 keeps it)\n"
    "  --colorize H,S                 hue and saturation 0-255, lightness kept\n";

namespace {

constexpr long kMaxSide = 1L << 20;

// Splits "a<sep>b<sep>c" into exactly count numbers within [min, max].
std::vector<long> Numbers(const std::string& text, char sep, std::size_t count, long min, long max,
                          const char* what) {
    std::vector<long> values;
    std::size_t start = 0;
    while (values.size() < count) {
        const std::size_t end = values.size() + 1 == count ? text.size() : text.find(sep, start);
        if (end == std::string::npos) break;
        values.push_back(ParseNumber(text.substr(start, end - start), min, max, what));
        start = end + 1;
    }
    if (values.size() != count) throw UsageError(std::string("bad ") + what + " '" + text + "'");
    return values;
}

// "value[:suffix]" split at the first colon.
std::pair<std::string, std::string> Suffix(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) return {text, ""};
    return {text.substr(0, colon), text.substr(colon + 1)};
}

Operation Resample(const std::string& value) {
    const auto [size, how] = Suffix(value);
    if (!how.empty() && how != "fast" && how != "smooth")
        throw UsageError("bad resample mode '" + how + "' (fast or smooth)");
    const std::vector<long> wh = Numbers(size, 'x', 2, 1, kMaxSide, "size");
    const int mode = how == "fast" ? 1 : 0;
    return {"--resample " + value, [=](PxImage& p) {
                return p.Resample(static_cast<LONG>(wh[0]), static_cast<LONG>(wh[1]), mode);
            }};
}

Operation Rotate(const std::string& value) {
    if (value == "left") return {"--rotate left", [](PxImage& p) { return p.RotateLeft(); }};
    if (value == "right") return {"--rotate right", [](PxImage& p) { return p.RotateRight(); }};
    throw UsageError("bad rotation '" + value + "' (left or right)");
}

Operation Crop(const std::string& value) {
    const std::vector<long> r = Numbers(value, ',', 4, -kMaxSide * 64, kMaxSide * 64, "rectangle");
    return {"--crop " + value, [=](PxImage& p) {
                return p.Crop(static_cast<LONG>(r[0]), static_cast<LONG>(r[1]),
                              static_cast<LONG>(r[2]), static_cast<LONG>(r[3]));
            }};
}

// Fewer bits than the picture has reduce it, more raise it, the same leave it.
Operation Bpp(const std::string& value) {
    const auto [bits, how] = Suffix(value);
    if (!how.empty() && how != "diffuse") throw UsageError("bad bpp mode '" + how + "' (diffuse)");
    const long n = ParseNumber(bits, 1, 24, "bits per pixel");
    if (n != 1 && n != 4 && n != 8 && n != 24)
        throw UsageError("bad bits per pixel '" + bits + "' (1, 4, 8 or 24)");
    const bool diffuse = !how.empty();
    return {"--bpp " + value, [=](PxImage& p) {
                const DWORD target = static_cast<DWORD>(n);
                if (target < p.GetBpp()) return p.DecreaseBpp(target, diffuse);
                if (target > p.GetBpp()) return p.IncreaseBpp(target);
                return true;
            }};
}

Operation Light(const std::string& value) {
    const std::vector<long> bc = Numbers(value, ',', 2, -100000, 100000, "light");
    return {"--light " + value, [=](PxImage& p) {
                return p.Light(static_cast<LONG>(bc[0]), static_cast<LONG>(bc[1]));
            }};
}

Operation Colorize(const std::string& value) {
    const std::vector<long> hs = Numbers(value, ',', 2, 0, 255, "hue and saturation");
    return {"--colorize " + value, [=](PxImage& p) {
                return p.Colorize(static_cast<BYTE>(hs[0]), static_cast<BYTE>(hs[1]));
            }};
}

}  // namespace

bool ParseOperation(const std::string& arg, const std::function<const std::string&()>& next,
                    std::vector<Operation>& out) {
    if (arg == "--mirror") {
        out.push_back({arg, [](PxImage& p) { return p.Mirror(); }});
    } else if (arg == "--flip") {
        out.push_back({arg, [](PxImage& p) { return p.Flip(); }});
    } else if (arg == "--resample") {
        out.push_back(Resample(next()));
    } else if (arg == "--rotate") {
        out.push_back(Rotate(next()));
    } else if (arg == "--crop") {
        out.push_back(Crop(next()));
    } else if (arg == "--bpp") {
        out.push_back(Bpp(next()));
    } else if (arg == "--light") {
        out.push_back(Light(next()));
    } else if (arg == "--colorize") {
        out.push_back(Colorize(next()));
    } else {
        return false;
    }
    return true;
}

bool ApplyOperations(const std::vector<Operation>& operations, PxImage& image,
                     const std::string& file) {
    for (const Operation& operation : operations) {
        if (!operation.apply(image)) {
            const char* reason = image.GetLastError();
            std::cerr << "pxtool: " << operation.text << " failed on " << file
                      << (*reason ? std::string(": ") + reason : std::string()) << "\n";
            return false;
        }
    }
    return true;
}

}  // namespace pxtool
