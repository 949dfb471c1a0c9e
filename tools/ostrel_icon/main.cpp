// ostrel-icon OUT.png: writes the program icon (resource ICON 128) as a PNG file,
// for the desktop's menus and task bar. Run at build time.
#include <cstdio>
#include <fstream>

#include "app/resources/wizard_icon.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ostrel-icon OUT.png\n");
        return 2;
    }
    const std::vector<BYTE>& png = WizardIconPng();
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    out.close();
    if (!out || png.empty()) {
        std::fprintf(stderr, "ostrel-icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
