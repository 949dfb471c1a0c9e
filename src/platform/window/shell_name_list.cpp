#include "shell_name_list.h"

namespace {

// The last name of a path; "a/dir/" names "dir", so moving it into a folder never
// targets the folder itself.
std::string BaseName(const std::string& path) {
    const std::size_t end = path.find_last_not_of('/');
    if (end == std::string::npos) return "";
    const std::size_t slash = path.rfind('/', end);
    return path.substr(slash == std::string::npos ? 0 : slash + 1,
                       end - (slash == std::string::npos ? 0 : slash + 1) + 1);
}

}  // namespace

std::vector<std::string> SplitNameBlock(const char* block) {
    std::vector<std::string> names;
    if (!block) return names;
    while (*block) {
        names.emplace_back(block);
        block += names.back().size() + 1;
    }
    return names;
}

std::string TargetFor(const std::string& source, const std::vector<std::string>& targets,
                      std::size_t index, UINT func, FILEOP_FLAGS flags,
                      const std::function<bool(const std::string&)>& isFolder) {
    const bool pairwise = (flags & FOF_MULTIDESTFILES) && targets.size() > 1;
    const std::string& target =
        pairwise && index < targets.size() ? targets[index] : targets.front();
    if (func == FO_RENAME || !isFolder(target)) return target;
    return target + (target.back() == '/' ? "" : "/") + BaseName(source);
}
