// Scaling, colour reduction and lightness on photograph-sized pictures. Each run
// works on a fresh copy of one noise picture; the copy is not timed.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "imaging/px_image.h"

namespace {

const PxImage& Noise(DWORD w, DWORD h) {
    static PxImage image;
    if (image.GetWidth() != w || image.GetHeight() != h) {
        image.Create(w, h, 24);
        std::mt19937 rng(42);
        BYTE* bits = image.GetBits();
        for (DWORD i = 0; i < image.GetEffWidth() * h; ++i)
            bits[i] = static_cast<BYTE>(rng());
    }
    return image;
}

template <class Op>
void RunOn(benchmark::State& state, DWORD w, DWORD h, Op op) {
    const PxImage& source = Noise(w, h);
    for (auto _ : state) {
        state.PauseTiming();
        PxImage image(source);
        state.ResumeTiming();
        benchmark::DoNotOptimize(op(image));
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t{w} * h);
}

void ResampleAreaPhoto(benchmark::State& state) {
    RunOn(state, 6000, 4000, [](PxImage& p) { return p.Resample(182, 121, 0); });
}

void ResampleBilinearEnlarge(benchmark::State& state) {
    RunOn(state, 1000, 1000, [](PxImage& p) { return p.Resample(1500, 1500, 0); });
}

void ResampleNearestEnlarge(benchmark::State& state) {
    RunOn(state, 1000, 1000, [](PxImage& p) { return p.Resample(1500, 1500, 1); });
}

void DecreaseBpp8Diffuse(benchmark::State& state) {
    RunOn(state, 1000, 1000, [](PxImage& p) { return p.DecreaseBpp(8, true); });
}

void DecreaseBpp8Plain(benchmark::State& state) {
    RunOn(state, 1000, 1000, [](PxImage& p) { return p.DecreaseBpp(8, false); });
}

void Light24(benchmark::State& state) {
    RunOn(state, 1000, 1000, [](PxImage& p) { return p.Light(20, 80); });
}

}  // namespace

BENCHMARK(ResampleAreaPhoto)->Unit(benchmark::kMillisecond);
BENCHMARK(ResampleBilinearEnlarge)->Unit(benchmark::kMillisecond);
BENCHMARK(ResampleNearestEnlarge)->Unit(benchmark::kMillisecond);
BENCHMARK(DecreaseBpp8Diffuse)->Unit(benchmark::kMillisecond);
BENCHMARK(DecreaseBpp8Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(Light24)->Unit(benchmark::kMillisecond);
