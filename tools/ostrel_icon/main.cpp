// ostrel-icon OUT.png [SIZE]: writes the program icon (resource ICON 128) as a PNG
// file, for the desktop's menus and task bar; with SIZE, scaled to SIZE x SIZE
// pixels, a whole multiple of 32 keeping its pixels sharp. Run at build time.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/resources/wizard_icon.h"

namespace {

bool WriteBytes(const char* file, const std::vector<BYTE>& png) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    out.close();
    return out && !png.empty();
}

// Nearest neighbour: the icon is drawn on a 32-pixel grid.
bool WriteScaled(const char* file, LONG size) {
    std::vector<BYTE> png = WizardIconPng();
    PxImage icon(png.data(), static_cast<DWORD>(png.size()), PX_FORMAT_PNG);
    return icon.IsValid() && icon.Resample(size, size, 1) && icon.Save(file, PX_FORMAT_PNG);
}

}  // namespace

int main(int argc, char** argv) {
    const long size = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 0;
    if (argc < 2 || argc > 3 || (argc == 3 && (size < 32 || size > 1024 || size % 32 != 0))) {
        std::fprintf(stderr, "usage: ostrel-icon OUT.png [SIZE, a multiple of 32]\n");
        return 2;
    }
    const bool written = argc == 2 ? WriteBytes(argv[1], WizardIconPng())
                                   : WriteScaled(argv[1], static_cast<LONG>(size));
    if (!written) {
        std::fprintf(stderr, "ostrel-icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
