// demo-pictures: draws the few pictures the headless demo browses, so the demo
// needs nothing from outside the project. Usage: demo-pictures FOLDER
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "imaging/px_image.h"

namespace {

constexpr DWORD kSide = 160;

BYTE Clamp(double v) {
    return static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// A sky fading into an orange sun over dark water.
void Sunset(PxImage& image) {
    image.Create(kSide * 3 / 2, kSide, 24, PX_FORMAT_JPG);
    for (LONG y = 0; y < static_cast<LONG>(image.GetHeight()); ++y) {
        for (LONG x = 0; x < static_cast<LONG>(image.GetWidth()); ++x) {
            const double t = static_cast<double>(y) / image.GetHeight();  // 0 at the bottom
            const double sun = std::hypot(x - 120.0, y - 70.0);
            RGBQUAD c{Clamp(120 * t + 40), Clamp(80 + 100 * t), Clamp(255 - 60 * t), 0};
            if (y < 50) c = RGBQUAD{Clamp(90 + 40 * t), Clamp(40 + 30 * t), 20, 0};
            if (sun < 24) c = RGBQUAD{30, 150, 250, 0};
            image.SetPixelColor(x, y, c);
        }
    }
}

// Red and white balloon stripes on a blue sky.
void Balloon(PxImage& image) {
    image.Create(kSide, kSide, 24, PX_FORMAT_BMP);
    for (LONG y = 0; y < static_cast<LONG>(kSide); ++y) {
        for (LONG x = 0; x < static_cast<LONG>(kSide); ++x) {
            const double d = std::hypot(x - 80.0, y - 95.0);
            RGBQUAD c{235, 190, 120, 0};
            if (d < 50) c = ((x / 14) % 2) ? RGBQUAD{250, 250, 250, 0} : RGBQUAD{40, 40, 220, 0};
            if (y < 40 && y > 22 && x > 68 && x < 92) c = RGBQUAD{40, 80, 120, 0};
            image.SetPixelColor(x, y, c);
        }
    }
}

// A green leaf on a light background, in a palette of its own.
void Leaf(PxImage& image) {
    image.Create(kSide, kSide * 3 / 4, 8, PX_FORMAT_GIF);
    for (BYTE i = 0; i < 16; ++i)
        image.SetPaletteIndex(i, static_cast<BYTE>(40 + i * 8), static_cast<BYTE>(120 + i * 8),
                              static_cast<BYTE>(30 + i * 4), 0);
    image.SetPaletteIndex(16, 245, 245, 235, 0);
    for (LONG y = 0; y < static_cast<LONG>(image.GetHeight()); ++y) {
        for (LONG x = 0; x < static_cast<LONG>(image.GetWidth()); ++x) {
            const double u = (x - 80.0) / 70.0, v = (y - 60.0) / 35.0;
            const bool inside = u * u + v * v < 1.0;
            image.SetPixelIndex(x, y, inside ? static_cast<BYTE>((x + y) % 16) : 16);
        }
    }
}

// Coloured tiles, for a picture with hard edges.
void Tiles(PxImage& image) {
    image.Create(kSide, kSide, 24, PX_FORMAT_PNG);
    const RGBQUAD colours[] = {
        {60, 60, 230, 0}, {60, 200, 250, 0}, {90, 190, 60, 0}, {200, 120, 40, 0}};
    for (LONG y = 0; y < static_cast<LONG>(kSide); ++y)
        for (LONG x = 0; x < static_cast<LONG>(kSide); ++x)
            image.SetPixelColor(x, y, colours[(x / 40 + y / 40) % 4]);
}

bool Write(const std::filesystem::path& folder, const char* name, void (*draw)(PxImage&)) {
    PxImage image;
    draw(image);
    const std::string path = (folder / name).string();
    if (image.Save(path.c_str(), image.GetType())) return true;
    std::fprintf(stderr, "demo-pictures: cannot write %s\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo-pictures FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const bool ok = Write(folder, "Balloon.bmp", Balloon) && Write(folder, "Leaf.gif", Leaf) &&
                    Write(folder, "Sunset.jpg", Sunset) && Write(folder, "Tiles.png", Tiles);
    return ok ? 0 : 1;
}
