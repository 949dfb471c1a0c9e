// The movie parser on arbitrary text; a movie that loads is then played: ticks,
// gotos, calls on its clips, presses and drags over its buttons and sliders,
// and the markup of its texts and fields.
#include <string>
#include <string_view>

#include "player/movie_parser.h"
#include "player/movie_playback.h"
#include "player/movie_pointer.h"
#include "player/stage_walk.h"
#include "player/text_markup.h"

namespace {

// The paths of the instances on the stage, as the program would name them.
void CollectPaths(const player::ClipInstance& instance, const std::string& path,
                  std::vector<std::string>& paths) {
    for (const auto& child : instance.children) {
        if (paths.size() >= 16) return;
        const std::string childPath = path + "/" + child->name;
        paths.push_back(childPath);
        CollectPaths(*child, childPath, paths);
    }
}

void ReadMarkup(player::MoviePlayback& playback) {
    player::WalkStage(playback.movie(), playback.Root(), POINT{0, 0},
                      [&](const player::ClipInstance&, POINT, const player::Item& item) {
                          if (const auto* t = std::get_if<player::TextItem>(&item))
                              player::ParseMarkup(t->markup, t->style);
                          if (const auto* f = std::get_if<player::FieldItem>(&item))
                              player::ParseMarkup(playback.GetVariable(f->variable), f->style);
                      });
}

void Play(const std::shared_ptr<const player::Movie>& movie) {
    player::MoviePlayback playback(movie, {{"frm", "1"}, {"tt", "<b>x"}});
    playback.Start();
    player::MoviePointer pointer(playback);
    for (int tick = 0; tick < 4; ++tick) {
        playback.Tick();
        const POINT at{37 + tick * 131, 11 + tick * 97};
        pointer.Press(at);
        pointer.Move(POINT{at.x + 60, at.y});
        pointer.Release(POINT{at.x + 60, at.y});
        pointer.Press(at);
        pointer.Release(at);
    }
    std::vector<std::string> paths;
    CollectPaths(playback.Root(), "", paths);
    for (const std::string& path : paths) {
        playback.TCallFrame(path, 1);
        playback.TGotoFrame(path, 2);
        playback.TCurrentFrame(path);
        playback.TPlay(path);
    }
    playback.GotoFrame(1);
    playback.Tick();
    ReadMarkup(playback);
    playback.TakeCommands();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    // No folder holds pictures: image statements are refused, as a missing file is.
    if (auto movie = player::ParseMovie(text, "/nonexistent/ostrel-fuzz", &error)) Play(movie);
    return 0;
}
