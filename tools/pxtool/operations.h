// Picture operations pxtool runs on the decoded picture, in the order given on the
// command line, before it is written or shown.
#pragma once

#include <functional>
#include <string>
#include <vector>

class PxImage;

namespace pxtool {

struct Operation {
    std::string text;  // as given, for messages
    std::function<bool(PxImage&)> apply;
};

// When arg names an operation, parses it (taking its value through next) into out
// and returns true; false for anything else. Bad values throw UsageError.
bool ParseOperation(const std::string& arg, const std::function<const std::string&()>& next,
                    std::vector<Operation>& out);

// Runs each operation in turn; the first failure is reported and ends the run.
bool ApplyOperations(const std::vector<Operation>& operations, PxImage& image,
                     const std::string& file);

extern const char* const kOperationsHelp;

}  // namespace pxtool
