// Drawing a whole stage of the test movie, as the player does at every frame
// that changes: a 580 x 411 frame must take well under 1/12 s.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "platform/gdi/gdi.h"
#include "player/movie_parser.h"
#include "player/movie_playback.h"
#include "player/movie_renderer.h"

namespace {

std::shared_ptr<const player::Movie> SampleMovie() {
    std::ifstream file(std::string(OSTREL_SOURCE_DIR) + "/tests/player/data/sample.swf");
    std::stringstream text;
    text << file.rdbuf();
    std::string error;
    auto movie = player::ParseMovie(text.str(), {}, &error);
    if (!movie) throw std::runtime_error(error);
    return movie;
}

void DrawStage(benchmark::State& state) {
    auto playback =
        std::make_unique<player::MoviePlayback>(SampleMovie(), player::MoviePlayback::Query{});
    playback->Start();
    playback->GotoFrame(state.range(0));
    HDC hdc = CreateSurfaceDC(std::make_shared<Surface>(580, 411));
    player::MovieRenderer renderer;
    const RECT client{0, 0, 580, 411};
    for (auto _ : state)
        renderer.Draw(hdc, client, *playback, player::PointerTarget{});
    DeleteDC(hdc);
}
BENCHMARK(DrawStage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void ParseSampleMovie(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(SampleMovie());
}
BENCHMARK(ParseSampleMovie)->Unit(benchmark::kMicrosecond);

}  // namespace
