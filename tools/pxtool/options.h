// Command-line parsing for pxtool.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "operations.h"
#include "platform/base/win_types.h"

namespace pxtool {

// A usage error: pxtool prints it with the help hint and exits with 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Options {
    std::vector<std::string> positional;
    std::optional<LONG> frame;
    std::optional<int> quality;
    std::vector<Operation> operations;
};

// A type code (1 to 4) or its name: bmp, gif, jpg/jpeg, png.
DWORD ParseType(const std::string& text);
long ParseNumber(const std::string& text, long min, long max, const char* what);
Options ParseOptions(const std::vector<std::string>& args);

}  // namespace pxtool
