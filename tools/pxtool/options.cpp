#include "options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "imaging/px_image.h"

namespace pxtool {

DWORD ParseType(const std::string& text) {
    std::string name = text;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (name == "1" || name == "bmp") return PX_FORMAT_BMP;
    if (name == "2" || name == "gif") return PX_FORMAT_GIF;
    if (name == "3" || name == "jpg" || name == "jpeg") return PX_FORMAT_JPG;
    if (name == "4" || name == "png") return PX_FORMAT_PNG;
    throw UsageError("unknown picture type '" + text + "' (use 1-4 or bmp, gif, jpeg, png)");
}

long ParseNumber(const std::string& text, long min, long max, const char* what) {
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || value < min || value > max) {
        throw UsageError(std::string("bad ") + what + " '" + text + "' (" + std::to_string(min) +
                         " to " + std::to_string(max) + ")");
    }
    return value;
}

Options ParseOptions(const std::vector<std::string>& args) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
            return args[++i];
        };
        if (arg == "--frame") {
            options.frame = static_cast<LONG>(ParseNumber(value(), 0, 1 << 20, "frame"));
        } else if (arg == "--quality") {
            options.quality = static_cast<int>(ParseNumber(value(), 0, 100, "quality"));
        } else if (ParseOperation(arg, value, options.operations)) {
            // kept in command-line order
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option " + arg);
        } else {
            options.positional.push_back(arg);
        }
    }
    return options;
}

}  // namespace pxtool
