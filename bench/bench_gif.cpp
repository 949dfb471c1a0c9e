// GIF decoding speed: our decoder's frame 0 against giflib's DGifSlurp on the
// larger files of the public GIF suite, in the same run. The rate counted is
// megabytes of decoded indices a second. "count only" asks for a frame past the
// last, so the decode stops right after the counting pass: that is its cost.
// "last frame" decodes every frame on the way to the last one, which is what a
// counting pass that decoded each frame would add to every load.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imaging/px_image.h"

namespace {

const char* const kFiles[] = {"harvesters.gif", "gifplayer-muybridge.gif", "muybridge.gif",
                              "hippopotamus.regular.gif", "hippopotamus.interlaced.gif"};

std::vector<BYTE> Load(const std::string& name) {
    const auto path = std::filesystem::path(OSTREL_SOURCE_DIR) / ".." / "shared" / "testdata" /
                      "gif" / "wuffs" / name;
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Source {
    const std::vector<BYTE>* bytes;
    std::size_t position;
};

int ReadMemory(GifFileType* gif, GifByteType* out, int wanted) {
    auto* source = static_cast<Source*>(gif->UserData);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(wanted),
                                                source->bytes->size() - source->position);
    std::memcpy(out, source->bytes->data() + source->position, n);
    source->position += n;
    return static_cast<int>(n);
}

// Every frame's indices, as DGifSlurp decodes them all.
std::int64_t GiflibSlurp(const std::vector<BYTE>& bytes) {
    Source source{&bytes, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, ReadMemory, &error);
    if (!gif) return -1;
    std::int64_t pixels = -1;
    if (DGifSlurp(gif) == GIF_OK) {
        pixels = 0;
        for (int i = 0; i < gif->ImageCount; ++i)
            pixels += std::int64_t{gif->SavedImages[i].ImageDesc.Width} *
                      gif->SavedImages[i].ImageDesc.Height;
    }
    DGifCloseFile(gif, &error);
    return pixels;
}

std::int64_t OstrelFrame(std::vector<BYTE>& bytes, LONG frame) {
    PxImage image;
    image.SetFrame(frame);
    if (!image.Decode(bytes.data(), static_cast<DWORD>(bytes.size()), PX_FORMAT_GIF)) return -1;
    return std::int64_t{image.GetWidth()} * image.GetHeight();
}

void Giflib(benchmark::State& state, const char* name) {
    const std::vector<BYTE> bytes = Load(name);
    std::int64_t pixels = 0;
    for (auto _ : state) {
        pixels = GiflibSlurp(bytes);
        benchmark::DoNotOptimize(pixels);
    }
    if (pixels < 0) state.SkipWithError("giflib cannot read the file (or it is absent)");
    state.SetBytesProcessed(state.iterations() * pixels);
}

void OstrelFrameZero(benchmark::State& state, const char* name) {
    std::vector<BYTE> bytes = Load(name);
    std::int64_t pixels = 0;
    for (auto _ : state) {
        pixels = OstrelFrame(bytes, 0);
        benchmark::DoNotOptimize(pixels);
    }
    if (pixels < 0) state.SkipWithError("the file does not decode (or it is absent)");
    state.SetBytesProcessed(state.iterations() * pixels);
}

void OstrelCountOnly(benchmark::State& state, const char* name) {
    std::vector<BYTE> bytes = Load(name);
    for (auto _ : state)
        benchmark::DoNotOptimize(OstrelFrame(bytes, 1 << 30));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

void OstrelLastFrame(benchmark::State& state, const char* name) {
    std::vector<BYTE> bytes = Load(name);
    PxImage probe;
    probe.SetFrame(1 << 30);
    probe.Decode(bytes.data(), static_cast<DWORD>(bytes.size()), PX_FORMAT_GIF);
    const LONG last = probe.GetNumFrames() - 1;
    std::int64_t pixels = 0;
    for (auto _ : state) {
        pixels = OstrelFrame(bytes, last);
        benchmark::DoNotOptimize(pixels);
    }
    if (pixels < 0) state.SkipWithError("the file does not decode (or it is absent)");
}

int Register() {
    for (const char* name : kFiles) {
        benchmark::RegisterBenchmark((std::string("giflib_slurp/") + name).c_str(), Giflib, name);
        benchmark::RegisterBenchmark((std::string("ostrel_frame0/") + name).c_str(),
                                     OstrelFrameZero, name);
        benchmark::RegisterBenchmark((std::string("ostrel_count_only/") + name).c_str(),
                                     OstrelCountOnly, name);
        benchmark::RegisterBenchmark((std::string("ostrel_last_frame/") + name).c_str(),
                                     OstrelLastFrame, name);
    }
    return 0;
}
const int registered = Register();

}  // namespace
