#include "options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "imaging/px_image.h"

namespace pxtool {

namespace {

// A type's name, also as a file name extension.
DWORD TypeOfName(const std::string& text) {
    std::string name = text;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    if (name == "bmp") return PX_FORMAT_BMP;
    if (name == "gif") return PX_FORMAT_GIF;
    if (name == "jpg" || name == "jpeg" || name == "jpe") return PX_FORMAT_JPG;
    if (name == "png") return PX_FORMAT_PNG;
    return PX_FORMAT_UNKNOWN;
}

DWORD TypeOfWord(const std::string& text) {
    if (text.size() == 1 && text[0] >= '1' && text[0] <= '4')
        return static_cast<DWORD>(text[0] - '0');
    return TypeOfName(text);
}

}  // namespace

DWORD ParseType(const std::string& text) {
    const DWORD type = TypeOfWord(text);
    if (type == PX_FORMAT_UNKNOWN)
        throw UsageError("unknown picture type '" + text + "' (use 1-4 or bmp, gif, jpeg, png)");
    return type;
}

bool IsTypeWord(const std::string& text) {
    return TypeOfWord(text) != PX_FORMAT_UNKNOWN;
}

std::vector<FileArgument> FileArguments(const std::vector<std::string>& positional) {
    std::vector<FileArgument> files;
    for (const std::string& arg : positional) {
        if (!files.empty() && !files.back().type && IsTypeWord(arg)) {
            files.back().type = ParseType(arg);
        } else {
            files.push_back({arg, std::nullopt});
        }
    }
    return files;
}

DWORD TypeOf(const FileArgument& file) {
    if (file.type) return *file.type;
    const std::string extension = std::filesystem::path(file.name).extension().string();
    const DWORD type = extension.empty() ? PX_FORMAT_UNKNOWN : TypeOfName(extension.substr(1));
    if (type == PX_FORMAT_UNKNOWN)
        throw UsageError("cannot tell the type of " + file.name + " from its name");
    return type;
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
        } else if (arg == "--delay") {
            options.delay = ParseNumber(value(), 0, 65535, "delay");
        } else if (arg == "--loop") {
            options.loop = ParseNumber(value(), 0, 65535, "loop count");
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
