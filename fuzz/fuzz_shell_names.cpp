// The name lists of the shell's file operation. The first byte picks the operation,
// the second the flags; the rest is the source block, then the target block, each
// as the caller passes it (names ended by a zero, the list by an extra zero). Names
// ending in '/' stand for folders, so nothing touches the file system.
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/window/shell_name_list.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size < 2) return 0;
    const UINT func = FO_MOVE + data[0] % 4;
    const auto flags = static_cast<FILEOP_FLAGS>(data[1] & 0x1 ? FOF_MULTIDESTFILES : 0);
    // Closed by four zeros so that both blocks end however the input does.
    std::vector<char> blocks(data + 2, data + size);
    blocks.insert(blocks.end(), 4, '\0');
    const std::vector<std::string> sources = SplitNameBlock(blocks.data());
    std::size_t used = 0;
    for (const std::string& name : sources)
        used += name.size() + 1;
    const std::vector<std::string> targets = SplitNameBlock(blocks.data() + used + 1);
    if (targets.empty()) return 0;
    auto isFolder = [](const std::string& name) { return name.back() == '/'; };
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const std::string target = TargetFor(sources[i], targets, i, func, flags, isFolder);
        if (target.empty()) std::abort();
        // A source moved or copied into a folder lands inside it, never on it.
        if (func != FO_RENAME && isFolder(target) &&
            sources[i].find_first_not_of('/') != std::string::npos)
            std::abort();
    }
    return 0;
}
