#include "stamp_name.h"

namespace {

constexpr std::size_t kStampNameCharacters = 12;

// The byte length of the first `count` code points of text.
std::size_t CodePointPrefix(const std::string& text, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t n = 0; i < text.size() && n < count; ++n) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            ++i;
    }
    return i;
}

}  // namespace

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ProposedStampName(const std::string& path) {
    std::string name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name.substr(0, CodePointPrefix(name, kStampNameCharacters));
}

std::string StampTemporaryFolder(const std::string& installationPath) {
    std::string folder = installationPath;
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder + "temp/";
}

std::string MakeStampPath(const std::string& folder, const std::string& name,
                          const std::string& extension) {
    std::string path = folder;
    if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
    path += name;
    if (!extension.empty() && extension.front() != '.') path += '.';
    return path + extension;
}
