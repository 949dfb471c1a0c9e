// Playing a movie: timelines and their clip instances, variables, frame actions,
// frame rate ticks and the commands sent to the program. It draws nothing and
// knows no window; the player window drives it.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "clip_instance.h"
#include "movie.h"

namespace player {

struct FsCommand {
    std::string command;
    std::string argument;
};

class MoviePlayback {
public:
    using Query = std::vector<std::pair<std::string, std::string>>;

    // Variables start as the movie declares them, then `query` sets its own.
    // Nothing plays until Start.
    MoviePlayback(std::shared_ptr<const Movie> movie,
                  const std::vector<std::pair<std::string, std::string>>& query);

    // Enters frame 0 of the main timeline.
    void Start();
    // One tick of the frame rate: each playing timeline moves to its next frame.
    void Tick();

    const Movie& movie() const { return *movie_; }
    const ClipInstance& Root() const { return *root_; }

    long FrameNum() const { return root_->frame; }
    void GotoFrame(long frame);
    void TGotoFrame(const std::string& path, long frame);
    long TCurrentFrame(const std::string& path) const;
    void TPlay(const std::string& path);
    void TStop(const std::string& path);
    // Runs the frame's actions for the instance at `path`; its playhead stays.
    void TCallFrame(const std::string& path, long frame);
    void SetVariable(const std::string& name, const std::string& value);
    std::string GetVariable(const std::string& name) const;

    // Runs a button's actions for the instance `instanceId`, if it still lives.
    void RunButton(std::uint64_t instanceId, const ActionList& actions);
    // Sets a slider's value; a change sends its command with the value.
    void SetSliderValue(std::uint64_t instanceId, const SliderItem& slider, int value);
    int SliderValue(const ClipInstance& instance, const SliderItem& slider) const;
    ClipInstance* FindInstance(std::uint64_t id);
    ClipInstance* FindPath(const std::string& path) const;

    // Commands sent since the last call, oldest first.
    std::deque<FsCommand> TakeCommands();
    bool HasCommands() const { return !commands_.empty(); }
    // True (once) when something visible changed since the last call.
    bool TakeChanged();
    // Something outside the playback that shows on the stage changed (a hilite).
    void MarkChanged() { changed_ = true; }

private:
    // Every top-level entry (a call, an event, a tick) starts a new budget.
    void BeginEntry();
    bool Step();
    void EnterFrame(const std::shared_ptr<ClipInstance>& instance, int frame);
    void PlaceChildren(ClipInstance& instance, std::vector<std::shared_ptr<ClipInstance>>& born);
    void Goto(const std::shared_ptr<ClipInstance>& instance, long frame);
    void CallFrame(const std::shared_ptr<ClipInstance>& instance, long frame);
    void RunActions(const std::shared_ptr<ClipInstance>& self, const ActionList& actions);
    void RunAction(const std::shared_ptr<ClipInstance>& self, const Action& action);
    bool Holds(const Condition& condition) const;
    std::string Resolve(const Value& value) const;
    long FrameOf(const Value& value) const;
    void Advance(const std::shared_ptr<ClipInstance>& instance);
    std::shared_ptr<ClipInstance> SharedPath(const std::string& path) const;

    std::shared_ptr<const Movie> movie_;
    std::shared_ptr<ClipInstance> root_;
    std::map<std::string, std::string> variables_;
    std::deque<FsCommand> commands_;
    std::uint64_t nextId_ = 1;
    std::uint64_t tick_ = 0;
    int depth_ = 0;
    bool halted_ = false;
    long steps_ = 0;
    bool changed_ = true;
};

// How deep gotos and calls may chain before the chain stops.
constexpr int kMaxChainDepth = 32;
// Actions and frame entries one call, event or tick may run.
constexpr long kMaxSteps = 100000;

}  // namespace player
