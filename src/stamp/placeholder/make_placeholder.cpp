// Draws the 28 x 28 placeholder picture that stands in for a thumbnail that cannot
// be read: a framed landscape (sky, sun, two hills) with a soft shadow, on a fully
// transparent ground. Transparent pixels are white underneath and the shadow is a
// light grey, because the thumbnail list squares pictures on white and drops their
// alpha.
// Usage: make_placeholder OUT.png
#include <cstdio>
#include <cstdlib>

#include "imaging/px_image.h"

namespace {

constexpr LONG kSide = 28;
// The frame, measured from the top-left corner, right and bottom inclusive.
constexpr LONG kLeft = 2, kTop = 4, kRight = 25, kBottom = 23;

struct Pixel {
    RGBQUAD color;
    BYTE alpha;
};

constexpr RGBQUAD Rgb(BYTE r, BYTE g, BYTE b) {
    return RGBQUAD{b, g, r, 0};
}

// Height of the hills' outline at column x: each hill falls one pixel per column.
LONG Ridge(LONG x) {
    const LONG first = 12 + std::labs(x - 9);
    const LONG second = 15 + std::labs(x - 18);
    return first < second ? first : second;
}

Pixel Inside(LONG x, LONG y) {
    const LONG dx = x - 19, dy = y - 9;
    if (dx * dx + dy * dy <= 6) return {Rgb(255, 200, 40), 255};
    if (y >= Ridge(x)) return {y >= Ridge(x) + 2 ? Rgb(50, 120, 50) : Rgb(80, 160, 70), 255};
    return {Rgb(190, 220, 250), 255};
}

Pixel At(LONG x, LONG y) {
    const bool inFrame = x >= kLeft && x <= kRight && y >= kTop && y <= kBottom;
    if (inFrame) {
        const bool border = x == kLeft || x == kRight || y == kTop || y == kBottom;
        return border ? Pixel{Rgb(90, 90, 100), 255} : Inside(x, y);
    }
    const bool shadow = (x == kRight + 1 && y > kTop && y <= kBottom + 1) ||
                        (y == kBottom + 1 && x > kLeft && x <= kRight + 1);
    if (shadow) return {Rgb(150, 150, 150), 96};
    return {Rgb(255, 255, 255), 0};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_placeholder OUT.png\n");
        return 2;
    }
    PxImage image;
    if (!image.Create(kSide, kSide, 24, PX_FORMAT_PNG) || !image.AlphaCreate()) return 1;
    for (LONG y = 0; y < kSide; ++y) {
        for (LONG x = 0; x < kSide; ++x) {
            const Pixel p = At(x, y);
            // Library rows count from the bottom.
            image.SetPixelColor(x, kSide - 1 - y, p.color);
            image.AlphaSet(x, kSide - 1 - y, p.alpha);
        }
    }
    if (!image.Save(argv[1], PX_FORMAT_PNG)) {
        std::fprintf(stderr, "make_placeholder: %s: %s\n", argv[1], image.GetLastError());
        return 1;
    }
    return 0;
}
