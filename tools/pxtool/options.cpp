#include "options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "imaging/px_format_sniff.h"
#include "imaging/px_image.h"

namespace pxtool {

namespace {

// A type's name, also as a file name extension.
DWORD TypeOfName(const std::string& text) {
    return PxFormatOfExtension(text);
}

DWORD TypeOfWord(const std::string& text) {
    if (text.size() == 1 && text[0] >= '1' && text[0] <= '7')
        return static_cast<DWORD>(text[0] - '0');
    return TypeOfName(text);
}

// Digits or a bare word (no dot, no slash) where a TYPE may stand is meant as one.
bool LooksLikeType(const std::string& text) {
    if (text.empty() || text.size() > 8) return false;
    const bool digits = text.find_first_not_of("0123456789") == std::string::npos;
    const bool word = std::all_of(text.begin(), text.end(), [](unsigned char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
    return digits || word;
}

}  // namespace

std::string CommandUsage(const std::string& command) {
    static const std::pair<const char*, const char*> kUsages[] = {
        {"info", "pxtool info FILE [TYPE] [--frame N] [--as-stored]"},
        {"convert",
         "pxtool convert IN [TYPE] OUT [TYPE] [--frame N] [--quality Q] [--as-stored] "
         "[OPERATION...]"},
        {"ppm", "pxtool ppm IN [TYPE] OUT.ppm [--frame N] [--as-stored]"},
        {"gifanim", "pxtool gifanim OUT.gif IN1 IN2 ... [--delay CS] [--loop N] [--as-stored]"},
        {"stamp",
         "pxtool stamp IN [--size 32|16] [--select L,T,R,B | --all] [--rotate left|right] "
         "[--mirror] [--flip] [--lightness V] [--pick X,Y ...] [--tolerance T] [--as-stored] "
         "-o OUT.png"},
        {"thumbnail", "pxtool thumbnail IN... [--as-stored] [-j N] -o DIR"},
    };
    for (const auto& [name, usage] : kUsages)
        if (command == name) return usage;
    return "pxtool COMMAND ARGS... (see pxtool --help)";
}

void RefuseFiles(const std::vector<FileArgument>& files, const char* what) {
    for (std::size_t i = 1; i < files.size(); ++i)
        if (!files[i - 1].type && LooksLikeType(files[i].name)) ParseType(files[i].name);
    throw UsageError(what);
}

DWORD ParseType(const std::string& text) {
    const DWORD type = TypeOfWord(text);
    if (type == PX_FORMAT_UNKNOWN)
        throw UsageError("unknown picture type '" + text +
                         "' (use 1-7 or bmp, gif, jpeg, png, webp, heif, tiff)");
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

PxLoadOptions LoadOptionsOf(bool asStored, const FileArgument& file) {
    // Read as the wizard reads a picture; a TYPE given is taken at its word.
    return PxLoadOptions{.upright = !asStored, .toSrgb = !asStored, .byContents = !file.type};
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
        } else if (arg == "--as-stored") {
            options.asStored = true;
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
