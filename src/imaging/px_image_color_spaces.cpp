// RGB <-> YUV, YIQ and XYZ on byte channels. Each space is a 3 x 3 matrix plus an
// offset that maps every RGB colour into 0..255; the way back uses the exact
// inverse of the same matrix, so a round trip is off by rounding only.
//  - YUV: the full-range BT.601 YCbCr of JFIF (ITU-T T.871): U = Cb, V = Cr.
//  - YIQ: the FCC NTSC matrix (Y .299 .587 .114, I .596 -.274 -.322,
//    Q .211 -.523 .312), I and Q scaled from their full ranges (+-151.98,
//    +-133.37 at 8 bits) onto 0..255 around 127.5.
//  - XYZ: the sRGB / D65 matrix of IEC 61966-2-1, rows divided by the D65 white
//    (0.9505, 1, 1.089) so that white is (255, 255, 255). It is applied to the
//    stored (gamma-encoded) values as they stand: linearising first would leave
//    too few 8-bit steps in the dark tones for the channels to survive a round trip.
#include "px_image.h"
#include "px_image_math.h"

namespace {

struct Matrix {
    double m[3][3];
};

constexpr Matrix Inverse(const Matrix& a) {
    const auto& m = a.m;
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    Matrix r{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            // Cofactor of m[j][i], cyclic indices give the sign for free.
            const int r1 = (j + 1) % 3, r2 = (j + 2) % 3, c1 = (i + 1) % 3, c2 = (i + 2) % 3;
            r.m[i][j] = (m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1]) / det;
        }
    }
    return r;
}

constexpr Matrix Scaled(Matrix a, const double factor[3]) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            a.m[i][j] *= factor[i];
    }
    return a;
}

struct Space {
    Matrix forward;
    double offset[3];
    Matrix back;
};

constexpr Space MakeSpace(const Matrix& forward, const double (&offset)[3]) {
    return Space{forward, {offset[0], offset[1], offset[2]}, Inverse(forward)};
}

constexpr double kYiqScale[3] = {1.0, 127.5 / (0.596 * 255), 127.5 / (0.523 * 255)};
constexpr double kXyzWhite[3] = {1 / 0.9505, 1.0, 1 / 1.089};

constexpr Space kYuv = MakeSpace(
    Matrix{{{0.299, 0.587, 0.114}, {-0.168736, -0.331264, 0.5}, {0.5, -0.418688, -0.081312}}},
    {0, 128, 128});
constexpr Space kYiq = MakeSpace(
    Scaled(Matrix{{{0.299, 0.587, 0.114}, {0.596, -0.274, -0.322}, {0.211, -0.523, 0.312}}},
           kYiqScale),
    {0, 127.5, 127.5});
constexpr Space kXyz = MakeSpace(
    Scaled(Matrix{{{0.4124, 0.3576, 0.1805}, {0.2126, 0.7152, 0.0722}, {0.0193, 0.1192, 0.9505}}},
           kXyzWhite),
    {0, 0, 0});

// Components travel as red = first, green = second, blue = third.
RGBQUAD Apply(const Matrix& m, const double (&in)[3], const double (&add)[3]) {
    double out[3];
    for (int i = 0; i < 3; ++i)
        out[i] = m.m[i][0] * in[0] + m.m[i][1] * in[1] + m.m[i][2] * in[2] + add[i];
    return RGBQUAD{px::RoundToByte(out[2]), px::RoundToByte(out[1]), px::RoundToByte(out[0]), 0};
}

RGBQUAD ToSpace(const Space& s, RGBQUAD c) {
    const double rgb[3] = {static_cast<double>(c.rgbRed), static_cast<double>(c.rgbGreen),
                           static_cast<double>(c.rgbBlue)};
    return Apply(s.forward, rgb, s.offset);
}

RGBQUAD FromSpace(const Space& s, RGBQUAD c) {
    const double v[3] = {c.rgbRed - s.offset[0], c.rgbGreen - s.offset[1], c.rgbBlue - s.offset[2]};
    constexpr double kNone[3] = {0, 0, 0};
    return Apply(s.back, v, kNone);
}

}  // namespace

RGBQUAD PxImage::RGBtoYUV(RGBQUAD color) {
    return ToSpace(kYuv, color);
}
RGBQUAD PxImage::YUVtoRGB(RGBQUAD color) {
    return FromSpace(kYuv, color);
}
RGBQUAD PxImage::RGBtoYIQ(RGBQUAD color) {
    return ToSpace(kYiq, color);
}
RGBQUAD PxImage::YIQtoRGB(RGBQUAD color) {
    return FromSpace(kYiq, color);
}
RGBQUAD PxImage::RGBtoXYZ(RGBQUAD color) {
    return ToSpace(kXyz, color);
}
RGBQUAD PxImage::XYZtoRGB(RGBQUAD color) {
    return FromSpace(kXyz, color);
}
