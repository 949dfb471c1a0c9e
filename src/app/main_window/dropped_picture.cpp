#include "dropped_picture.h"

#include <filesystem>

#include "imaging/px_format_sniff.h"
#include "imaging/px_image.h"
#include "stamp/picture.h"

namespace {

bool IsPictureFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    const std::string extension = ExtensionOf(path);
    return !extension.empty() && PxFormatOfExtension(extension) != PX_FORMAT_UNKNOWN;
}

}  // namespace

std::string PictureToOpen(const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        if (IsPictureFile(path)) return path;
    return paths.empty() ? "" : paths.front();
}
