// Screenshots: any surface (a window's, a bitmap's) written as a picture file
// through the image library's encoders.
#pragma once

#include <string>

#include "imaging/px_image.h"
#include "platform/gdi/surface.h"

// The format screenshots are written in.
constexpr DWORD kScreenshotFormat = PX_FORMAT_PNG;

// The surface as a 24 bpp picture (the rows copy straight across).
bool SurfaceToImage(const Surface& surface, PxImage& image);
// Writes the surface to `path`; on failure no file is left behind and `error`
// (when given) says why.
bool WriteScreenshot(const Surface& surface, const std::string& path,
                     DWORD format = kScreenshotFormat, std::string* error = nullptr);
