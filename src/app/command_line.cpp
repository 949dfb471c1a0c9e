#include "command_line.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

bool SameFile(const std::string& a, const std::string& b) {
    if (b.empty()) return false;
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

}  // namespace

std::optional<StartRequest> ReadCommandLine(const std::vector<std::string>& args,
                                            const std::string& scriptPath) {
    if (args.size() > 1) return std::nullopt;
    // A file manager's "%f" with no file leaves an empty argument on some desktops.
    if (args.empty() || args[0].empty() || SameFile(args[0], scriptPath)) return StartRequest{};
    // The page opens the file later, after the tree has moved; the working folder
    // must not matter by then.
    std::error_code error;
    fs::path picture = fs::absolute(args[0], error);
    if (error) picture = args[0];
    return StartRequest{picture.lexically_normal().string()};
}
