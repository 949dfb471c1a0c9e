// PxImage::Draw with a transparent index: the cost follows the visible area,
// not the picture. The editor draws any picture into its 182 x 102 box this way.
#include <benchmark/benchmark.h>

#include <memory>

#include "imaging/px_image.h"
#include "platform/gdi/gdi.h"

namespace {

PxImage Picture(DWORD w, DWORD h) {
    PxImage image(w, h, 24);
    for (DWORD y = 0; y < h; ++y) {
        BYTE* row = image.GetBits() + static_cast<std::size_t>(y) * image.GetEffWidth();
        for (DWORD x = 0; x < 3 * w; ++x)
            row[x] = static_cast<BYTE>(x * 7 + y * 13);
    }
    image.SetTransIndex(0);
    image.SetTransColor(RGBQUAD{255, 0, 255, 0});
    return image;
}

// Draws `image` into (33, 110, 182 x 102) of a window-sized surface, scaled
// or, with a clip rectangle, unscaled and cut to that box.
void DrawInto(benchmark::State& state, DWORD w, DWORD h, bool clipped) {
    const PxImage image = Picture(w, h);
    auto surface = std::make_shared<Surface>(580, 411);
    HDC dc = CreateSurfaceDC(surface);
    const RECT box{33, 110, 33 + 182, 110 + 102};
    for (auto _ : state) {
        if (clipped)
            image.Draw(dc, box.left, box.top, -1, -1, &box);
        else
            image.Draw(dc, box.left, box.top, 182, 102);
        benchmark::DoNotOptimize(surface->Bits());
    }
    state.SetItemsProcessed(state.iterations() * 182 * 102);
    DeleteDC(dc);
}

void BM_DrawTransparentScaled_1920x1080(benchmark::State& state) {
    DrawInto(state, 1920, 1080, false);
}
void BM_DrawTransparentScaled_200x112(benchmark::State& state) {
    DrawInto(state, 200, 112, false);
}
void BM_DrawTransparentClipped_1920x1080(benchmark::State& state) {
    DrawInto(state, 1920, 1080, true);
}

}  // namespace

BENCHMARK(BM_DrawTransparentScaled_1920x1080);
BENCHMARK(BM_DrawTransparentScaled_200x112);
BENCHMARK(BM_DrawTransparentClipped_1920x1080);
