// Geometric distortions. Each reads from a full copy of the picture; points that
// fall outside it read as the transparent colour. Coordinates that come out as no
// number at all (a negative exponent at the very centre, an infinite twist) read
// as outside too, instead of reaching an undefined cast.
#include <cmath>

#include "px_image.h"
#include "px_image_math.h"

namespace {

// The central circle, stretched to an ellipse on non-square pictures: xc, yc are
// the integer halves, the shorter side is scaled up to the longer one.
struct Lens {
    double xc, yc, xs, ys, radius;
};

Lens LensOf(LONG w, LONG h) {
    Lens lens{static_cast<double>(w / 2), static_cast<double>(h / 2), 1, 1, 0};
    if (h < w) {
        lens.ys = static_cast<double>(w) / h;
        lens.radius = lens.xc;
    } else {
        lens.xs = static_cast<double>(h) / w;
        lens.radius = lens.yc;
    }
    return lens;
}

// Every pixel inside the lens takes the colour of the source point `map` gives for
// its offset (dx, dy) from the centre, scaled to the circle, and its distance d.
template <class Map>
void DistortInsideLens(PxImage& image, const PxImage& source, Map map) {
    const LONG width = static_cast<LONG>(image.GetWidth()),
               height = static_cast<LONG>(image.GetHeight());
    const Lens lens = LensOf(width, height);
    for (LONG y = 0; y < height; ++y) {
        for (LONG x = 0; x < width; ++x) {
            const double dx = (x - lens.xc) * lens.xs, dy = (y - lens.yc) * lens.ys;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d >= lens.radius) continue;  // outside the circle the copy is this image
            const POINT from = map(dx, dy, d, lens);
            image.SetPixelColor(x, y, source.GetPixelColor(from.x, from.y));
        }
    }
}

}  // namespace

bool PxImage::ImplodeExplode(double exponent) {
    if (!dib) return false;
    const PxImage source(*this);
    if (!source.IsValid()) return false;
    DistortInsideLens(*this, source, [exponent](double dx, double dy, double d, const Lens& lens) {
        const double f = std::pow(d / lens.radius, exponent);
        return POINT{px::TruncCoordinate(f / lens.xs * dx + lens.xc),
                     px::TruncCoordinate(f / lens.ys * dy + lens.yc)};
    });
    return true;
}

bool PxImage::Swirl(double twist) {
    if (!dib) return false;
    const PxImage source(*this);
    if (!source.IsValid()) return false;
    DistortInsideLens(*this, source, [twist](double dx, double dy, double d, const Lens& lens) {
        const double t = 1 - d / lens.radius;
        const double angle = t * t * twist;
        const double c = std::cos(angle), s = std::sin(angle);
        return POINT{px::TruncCoordinate(lens.xc + (c * dx - s * dy) / lens.xs),
                     px::TruncCoordinate(lens.yc + (c * dy + s * dx) / lens.ys)};
    });
    return true;
}

// Each column moves down by between 0 and 2 |amplitude| rows along a sine of the
// given period (6.28 stands for a full turn). A period of 0 has no sine to follow:
// the columns then move by |amplitude| only, so Wave(0, p) is the identity for every p.
bool PxImage::Wave(double amplitude, double period) {
    if (!dib) return false;
    const PxImage source(*this);
    if (!source.IsValid()) return false;
    for (LONG x = 0; x < header.biWidth; ++x) {
        double wave = std::sin(x * 6.28 / period);
        if (!std::isfinite(wave)) wave = 0;
        for (LONG y = 0; y < header.biHeight; ++y) {
            const LONG sy = px::TruncCoordinate(y - std::fabs(amplitude) - amplitude * wave);
            SetPixelColor(x, y, source.GetPixelColor(x, sy));
        }
    }
    return true;
}
