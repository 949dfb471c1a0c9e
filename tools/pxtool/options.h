// Command-line parsing for pxtool.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "imaging/px_load_options.h"
#include "operations.h"
#include "platform/base/win_types.h"

namespace pxtool {

// A usage error: what is wrong. pxtool prints it with the command's usage line
// and exits with 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The one-line usage of a command ("pxtool info FILE ..."); a general line for a
// name that is no command.
std::string CommandUsage(const std::string& command);

struct Options {
    std::vector<std::string> positional;
    std::optional<LONG> frame;
    std::optional<int> quality;
    std::optional<long> delay;  // hundredths of a second
    std::optional<long> loop;   // 0: for ever
    std::vector<Operation> operations;
    bool asStored = false;  // the pixels as the file stores them: not turned, no profile
};

// A type code (1 to 7) or its name: bmp, gif, jpg/jpeg/jpe, png, webp,
// heic/heif/hif/avif, tif/tiff.
DWORD ParseType(const std::string& text);
bool IsTypeWord(const std::string& text);

// A file named on the command line and the TYPE written after it, if any.
struct FileArgument {
    std::string name;
    std::optional<DWORD> type;
};
// The files among the positional arguments: a type word right after a file is that
// file's TYPE; anywhere else it is a file name.
std::vector<FileArgument> FileArguments(const std::vector<std::string>& positional);
// The TYPE given, else the type the file name's extension names, as the wizard
// chooses it; a usage error when neither tells.
DWORD TypeOf(const FileArgument& file);
// How a file is read: upright and in sRGB unless `asStored`; by its contents
// unless a TYPE was given.
PxLoadOptions LoadOptionsOf(bool asStored, const FileArgument& file);
// The usage error for a command line that holds a file too many: a word right
// after a file that looks like a TYPE is told as a bad type.
[[noreturn]] void RefuseFiles(const std::vector<FileArgument>& files, const char* what);
long ParseNumber(const std::string& text, long min, long max, const char* what);
Options ParseOptions(const std::vector<std::string>& args);

}  // namespace pxtool
