// A program of someone else's, built against the installed image library only: it
// loads a picture, cuts the largest centred square, scales it to 32 x 32, reduces it
// to 8-bit palette colours and writes it as a PNG.
// usage: stamp_consumer IN.(bmp|gif|jpg|png) OUT.png
#include <algorithm>
#include <cstdio>
#include <string>

#include "imaging/px_image.h"

namespace {

DWORD TypeOfName(const std::string& name) {
    const std::string extension = name.substr(name.find_last_of('.') + 1);
    if (extension == "bmp") return PX_FORMAT_BMP;
    if (extension == "gif") return PX_FORMAT_GIF;
    if (extension == "jpg" || extension == "jpeg") return PX_FORMAT_JPG;
    if (extension == "png") return PX_FORMAT_PNG;
    return PX_FORMAT_UNKNOWN;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: stamp_consumer IN OUT.png\n");
        return 2;
    }
    PxImage picture;
    if (!picture.Load(argv[1], TypeOfName(argv[1]), true)) {
        std::fprintf(stderr, "stamp_consumer: cannot read %s: %s\n", argv[1],
                     picture.GetLastError());
        return 1;
    }
    const auto width = static_cast<LONG>(picture.GetWidth());
    const auto height = static_cast<LONG>(picture.GetHeight());
    const LONG side = std::min(width, height);
    const LONG left = (width - side) / 2, top = (height - side) / 2;
    const bool made = picture.Crop(left, top, left + side, top + side) &&
                      picture.Resample(32, 32, 0) && picture.DecreaseBpp(8, true) &&
                      picture.Save(argv[2], PX_FORMAT_PNG);
    if (!made) {
        std::fprintf(stderr, "stamp_consumer: cannot make %s: %s\n", argv[2],
                     picture.GetLastError());
        return 1;
    }
    std::printf("%s: %ux%u, %u bits per pixel\n", argv[2], picture.GetWidth(), picture.GetHeight(),
                unsigned{picture.GetBpp()});
    return 0;
}
