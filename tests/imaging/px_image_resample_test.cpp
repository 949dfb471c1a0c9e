#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "imaging/px_image.h"
#include "test_pictures.h"

using testpic::Random24;
using testpic::SameColour;
using testpic::SamePicture;

namespace {

// Overlap of source cell [i, i + 1) with result cell [j * scale, (j + 1) * scale).
double Overlap(LONG i, LONG j, double scale) {
    const double lo = std::max<double>(i, j * scale), hi = std::min<double>(i + 1, (j + 1) * scale);
    return std::max(0.0, hi - lo);
}

// Straightforward box filter in double precision: the mean of the covered area.
double BoxMean(const PxImage& src, LONG rx, LONG ry, double xs, double ys, int channel) {
    double sum = 0;
    for (LONG y = static_cast<LONG>(ry * ys); y < std::min<double>(src.GetHeight(), (ry + 1) * ys);
         ++y) {
        for (LONG x = static_cast<LONG>(rx * xs);
             x < std::min<double>(src.GetWidth(), (rx + 1) * xs); ++x) {
            const RGBQUAD c = src.GetPixelColor(x, y);
            const BYTE v = channel == 0 ? c.rgbBlue : channel == 1 ? c.rgbGreen : c.rgbRed;
            sum += v * Overlap(x, rx, xs) * Overlap(y, ry, ys);
        }
    }
    return sum / (xs * ys);
}

}  // namespace

TEST(PxImageResample, SameSizeAndBadSizes) {
    PxImage image = Random24(5, 4, 1);
    const PxImage before(image);
    EXPECT_TRUE(image.Resample(5, 4, 0));
    EXPECT_TRUE(SamePicture(image, before));
    EXPECT_FALSE(image.Resample(0, 4, 0));
    EXPECT_FALSE(image.Resample(5, 0, 1));
    EXPECT_FALSE(image.Resample(-3, 4, 1));
    EXPECT_TRUE(SamePicture(image, before));
    PxImage invalid;
    EXPECT_FALSE(invalid.Resample(2, 2, 0));
}

TEST(PxImageResample, HalvingAveragesEachBlockExactly) {
    PxImage image = Random24(4, 4, 7);
    const PxImage src(image);
    image.SetXDPI(300);
    ASSERT_TRUE(image.Resample(2, 2, 0));
    ASSERT_EQ(image.GetWidth(), 2u);
    EXPECT_EQ(image.GetXDPI(), 300);  // info comes along
    for (LONG y = 0; y < 2; ++y) {
        for (LONG x = 0; x < 2; ++x) {
            int sum[3] = {};
            for (LONG dy = 0; dy < 2; ++dy) {
                for (LONG dx = 0; dx < 2; ++dx) {
                    const RGBQUAD c = src.GetPixelColor(2 * x + dx, 2 * y + dy);
                    sum[0] += c.rgbBlue, sum[1] += c.rgbGreen, sum[2] += c.rgbRed;
                }
            }
            const RGBQUAD r = image.GetPixelColor(x, y);
            EXPECT_EQ(r.rgbBlue, sum[0] / 4);
            EXPECT_EQ(r.rgbGreen, sum[1] / 4);
            EXPECT_EQ(r.rgbRed, sum[2] / 4);
        }
    }
}

// The integer method truncates the mean, and every boundary share to whole
// thousandths of a pixel: a result pixel may gain or lose a thousandth at each of
// the about 2 (xs + ys) boundary cells it touches. Within that, it is the box filter.
TEST(PxImageResample, AreaAveragingAgreesWithAFloatingPointBoxFilter) {
    std::mt19937 rng(2024);
    int checked = 0, withinOneLevel = 0;
    double bias = 0;
    for (int round = 0; round < 60; ++round) {
        const DWORD w = 2 + rng() % 90, h = 2 + rng() % 90;
        const DWORD nw = 1 + rng() % (w - 1), nh = 1 + rng() % (h - 1);
        const PxImage src = Random24(w, h, rng());
        PxImage image(src);
        ASSERT_TRUE(image.Resample(static_cast<LONG>(nw), static_cast<LONG>(nh), 0));
        const double xs = static_cast<double>(w) / nw, ys = static_cast<double>(h) / nh;
        const double shares = 255 * 2 * (xs + ys) / (1000 * xs * ys);
        for (LONG y = 0; y < static_cast<LONG>(nh); ++y) {
            for (LONG x = 0; x < static_cast<LONG>(nw); ++x) {
                const RGBQUAD c = image.GetPixelColor(x, y);
                const BYTE got[3] = {c.rgbBlue, c.rgbGreen, c.rgbRed};
                for (int k = 0; k < 3; ++k, ++checked) {
                    const double error = got[k] - BoxMean(src, x, y, xs, ys, k);
                    ASSERT_LE(error, shares) << w << "x" << h << " -> " << nw << "x" << nh;
                    ASSERT_GE(error, -1 - shares) << w << "x" << h << " -> " << nw << "x" << nh;
                    withinOneLevel += std::fabs(error) <= 1;
                    bias += error;
                }
            }
        }
    }
    EXPECT_GT(checked, 10000);
    EXPECT_GT(withinOneLevel, checked * 97 / 100);
    EXPECT_NEAR(bias / checked, -0.5, 0.1);  // truncation, nothing systematic besides
}

// A result pixel here covers over 100 000 source pixels: its sum of weighted
// thousandths (about 2.5e10) does not fit 32 bits.
TEST(PxImageResample, LargeShrinkFactorsKeepTheMean) {
    PxImage image = testpic::Uniform24(1000, 1000, RGBQUAD{200, 100, 250, 0});
    ASSERT_TRUE(image.Resample(3, 3, 0));
    for (LONG y = 0; y < 3; ++y) {
        for (LONG x = 0; x < 3; ++x) {
            const RGBQUAD c = image.GetPixelColor(x, y);
            EXPECT_NEAR(c.rgbBlue, 200, 1);
            EXPECT_NEAR(c.rgbGreen, 100, 1);
            EXPECT_NEAR(c.rgbRed, 250, 1);
        }
    }
}

TEST(PxImageResample, ShrinkingOneWayInterpolatesInsteadOfAveraging) {
    // Columns alternate 0 and 200: averaging pairs would give 100, bilinear
    // sampling at the even columns gives 0.
    PxImage image(100, 50, 24);
    for (LONG y = 0; y < 50; ++y) {
        for (LONG x = 0; x < 100; ++x) {
            const BYTE v = x % 2 ? 200 : 0;
            image.SetPixelColor(x, y, RGBQUAD{v, v, v, 0});
        }
    }
    ASSERT_TRUE(image.Resample(50, 50, 0));
    for (LONG x = 0; x < 50; ++x)
        EXPECT_EQ(image.GetPixelColor(x, 10).rgbGreen, 0) << x;
}

TEST(PxImageResample, EnlargingInterpolatesBetweenNeighbours) {
    PxImage image(2, 1, 24);
    image.SetPixelColor(0, 0, RGBQUAD{0, 100, 201, 0});
    image.SetPixelColor(1, 0, RGBQUAD{255, 0, 0, 0});
    ASSERT_TRUE(image.Resample(4, 1, 0));
    // x = 1 sits half way (dx 0.5); x = 2 and 3 clamp onto the last column.
    EXPECT_TRUE(SameColour(image.GetPixelColor(0, 0), RGBQUAD{0, 100, 201, 0}));
    EXPECT_TRUE(SameColour(image.GetPixelColor(1, 0), RGBQUAD{127, 50, 100, 0}));
    EXPECT_TRUE(SameColour(image.GetPixelColor(3, 0), RGBQUAD{255, 0, 0, 0}));
}

TEST(PxImageResample, NearestNeighbourGoesThroughThePalette) {
    PxImage image(4, 4, 8);
    image.SetPaletteIndex(3, 255, 0, 0);
    image.SetPaletteIndex(7, 255, 0, 0);
    image.Clear(7);
    image.AlphaCreate();
    image.AlphaSet(3, 3, 200);  // the top-right pixel
    image.SelectionCreate();
    ASSERT_TRUE(image.Resample(2, 2, 1));
    EXPECT_EQ(image.GetPixelIndex(1, 1), 3);  // the lower duplicate of pure red
    EXPECT_EQ(image.GetPaletteColor(7).rgbRed, 255);
    EXPECT_FALSE(image.HasSelection());
    ASSERT_TRUE(image.HasAlpha());
    EXPECT_EQ(image.AlphaGet(1, 1), 0);  // samples source (2, 2)
    ASSERT_TRUE(image.Resample(4, 4, 1));
    EXPECT_EQ(image.AlphaGet(3, 3), 0);
}

TEST(PxImageResample, EscapeStopsEarlyWithAClearedRemainder) {
    PxImage image = testpic::Uniform24(8, 8, RGBQUAD{9, 9, 9, 0});
    image.SetEscape(1);
    EXPECT_TRUE(image.Resample(16, 16, 1));
    EXPECT_EQ(image.GetWidth(), 16u);
    EXPECT_TRUE(SameColour(image.GetPixelColor(5, 5), RGBQUAD{0, 0, 0, 0}));
}

// Into a target: the same picture as in place, by every method, and the source
// untouched; the same size gives a plain copy, and the source as target is in place.
TEST(PxImageResample, IntoATargetMatchesInPlaceAndLeavesTheSource) {
    const PxImage source = Random24(40, 30, 5);
    for (int mode : {0, 1}) {
        for (const auto& [w, h] : {std::pair{13, 9}, std::pair{80, 20}}) {
            PxImage inPlace(source), work(source), target;
            ASSERT_TRUE(inPlace.Resample(w, h, mode));
            ASSERT_TRUE(work.Resample(w, h, mode, &target));
            EXPECT_TRUE(SamePicture(target, inPlace)) << mode << " " << w << "x" << h;
            EXPECT_TRUE(SamePicture(work, source));
        }
    }
    PxImage work(source), copy;
    ASSERT_TRUE(work.Resample(40, 30, 0, &copy));
    EXPECT_TRUE(SamePicture(copy, source));
    ASSERT_TRUE(work.Resample(20, 15, 0, &work));
    EXPECT_EQ(work.GetWidth(), 20u);
}
