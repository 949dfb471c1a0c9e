// pxtool thumbnail: the picture browser's 64 x 64 thumbnails as PNG files, made
// exactly as the browser's list shows them.
#pragma once

#include <string>
#include <vector>

#include "imaging/px_image.h"

namespace pxtool {

// The thumbnail of one file as the list shows it: loaded by its extension
// (placeholder for an unreadable file), squared to 64 x 64, black shown as
// transparent. False, leaving the image alone, when the extension names no picture.
// With `useCache` the desktop's thumbnail cache is read and written.
bool MakeListThumbnail(const std::string& path, PxImage& image, const PxLoadOptions& load,
                       bool useCache = false);

int RunThumbnail(const std::vector<std::string>& args);

extern const char* const kThumbnailHelp;

}  // namespace pxtool
