#include "screenshot.h"

#include <cstdio>
#include <cstring>

bool SurfaceToImage(const Surface& surface, PxImage& image) {
    if (!surface.Valid()) return false;
    PxImage out;
    if (!out.Create(static_cast<DWORD>(surface.Width()), static_cast<DWORD>(surface.Height()), 24))
        return false;
    // Both keep 24-bit rows padded to 4 bytes; the picture's row 0 is the bottom one.
    const LONG height = surface.Height();
    for (LONG y = 0; y < height; ++y)
        std::memcpy(out.GetBits() + static_cast<std::size_t>(height - 1 - y) * out.GetEffWidth(),
                    surface.Row(y), surface.Stride());
    return image.Transfer(out);
}

bool WriteScreenshot(const Surface& surface, const std::string& path, DWORD format,
                     std::string* error) {
    PxImage image;
    if (!SurfaceToImage(surface, image)) {
        if (error) *error = "empty surface";
        return false;
    }
    if (image.Save(path.c_str(), format)) return true;
    if (error) *error = image.GetLastError()[0] ? image.GetLastError() : "cannot write " + path;
    std::remove(path.c_str());
    return false;
}
