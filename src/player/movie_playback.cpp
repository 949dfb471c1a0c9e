#include "movie_playback.h"

#include <algorithm>
#include <charconv>
#include <climits>

namespace player {
namespace {

void Kill(ClipInstance& instance) {
    instance.alive = false;
    for (auto& child : instance.children)
        Kill(*child);
}

// The instance named `name` among the children, or null.
std::shared_ptr<ClipInstance> Child(const ClipInstance& parent, std::string_view name) {
    for (const auto& child : parent.children)
        if (child->alive && child->name == name) return child;
    return nullptr;
}

std::shared_ptr<ClipInstance> FindById(const std::shared_ptr<ClipInstance>& from,
                                       std::uint64_t id) {
    if (from->id == id) return from;
    for (const auto& child : from->children)
        if (auto found = FindById(child, id)) return found;
    return nullptr;
}

}  // namespace

MoviePlayback::MoviePlayback(std::shared_ptr<const Movie> movie,
                             const std::vector<std::pair<std::string, std::string>>& query)
    : movie_(std::move(movie)), root_(std::make_shared<ClipInstance>()) {
    root_->id = nextId_++;
    root_->timeline = &movie_->main;
    for (const auto& [name, value] : movie_->variables)
        variables_[name] = Resolve(value);
    for (const auto& [name, value] : query)
        variables_[name] = value;
}

void MoviePlayback::BeginEntry() {
    depth_ = 0;
    halted_ = false;
    steps_ = 0;
}

bool MoviePlayback::Step() {
    if (halted_) return false;
    if (++steps_ > kMaxSteps) halted_ = true;
    return !halted_;
}

void MoviePlayback::Start() {
    BeginEntry();
    EnterFrame(root_, 0);
}

void MoviePlayback::EnterFrame(const std::shared_ptr<ClipInstance>& instance, int frame) {
    if (!Step()) return;
    instance->frame = frame;
    changed_ = true;
    std::vector<std::shared_ptr<ClipInstance>> born;
    PlaceChildren(*instance, born);
    for (const auto& child : born) {
        if (child->alive) EnterFrame(child, 0);
    }
    // A new instance's actions may have moved this timeline on; the frame it is
    // on now has run its own actions then.
    if (instance->alive && instance->frame == frame)
        RunActions(instance, instance->timeline->frames[static_cast<std::size_t>(frame)].actions);
}

// Keeps the instances the new frame places again (same name and clip), makes
// the new ones and lets the others go.
void MoviePlayback::PlaceChildren(ClipInstance& instance,
                                  std::vector<std::shared_ptr<ClipInstance>>& born) {
    std::vector<std::shared_ptr<ClipInstance>> old = std::move(instance.children);
    instance.children.clear();
    ForEachItem(*movie_, instance.CurrentFrame().items, [&](const Item& item) {
        const auto* place = std::get_if<PlaceItem>(&item);
        if (!place) return;
        std::shared_ptr<ClipInstance> child;
        for (auto& candidate : old) {
            if (candidate && candidate->name == place->instance && candidate->clip == place->clip) {
                child = std::move(candidate);
                break;
            }
        }
        if (!child) {
            child = std::make_shared<ClipInstance>();
            child->id = nextId_++;
            child->name = place->instance;
            child->clip = place->clip;
            child->timeline = &movie_->clips[static_cast<std::size_t>(place->clip)].timeline;
            child->bornTick = tick_;
            born.push_back(child);
        }
        child->offset = POINT{place->x, place->y};
        instance.children.push_back(std::move(child));
    });
    for (auto& gone : old)
        if (gone) Kill(*gone);
}

void MoviePlayback::Goto(const std::shared_ptr<ClipInstance>& instance, long frame) {
    if (frame < 0 || !instance->alive) return;
    if (depth_ >= kMaxChainDepth) {
        halted_ = true;
        return;
    }
    ++depth_;
    EnterFrame(instance, static_cast<int>(std::min<long>(frame, instance->LastFrame())));
    --depth_;
}

void MoviePlayback::CallFrame(const std::shared_ptr<ClipInstance>& instance, long frame) {
    if (frame < 0 || frame > instance->LastFrame() || !instance->alive) return;
    if (depth_ >= kMaxChainDepth) {
        halted_ = true;
        return;
    }
    ++depth_;
    RunActions(instance, instance->timeline->frames[static_cast<std::size_t>(frame)].actions);
    --depth_;
}

void MoviePlayback::RunActions(const std::shared_ptr<ClipInstance>& self,
                               const ActionList& actions) {
    for (const Action& action : actions) {
        if (!self->alive || !Step()) return;
        RunAction(self, action);
    }
}

void MoviePlayback::RunAction(const std::shared_ptr<ClipInstance>& self, const Action& action) {
    for (const Condition& condition : action.conditions)
        if (!Holds(condition)) return;
    switch (action.kind) {
        case ActionKind::Stop:
            self->playing = false;
            break;
        case ActionKind::Play:
            self->playing = true;
            break;
        case ActionKind::Goto:
            Goto(self, FrameOf(action.frame));
            break;
        case ActionKind::FsCommand:
            commands_.push_back(FsCommand{action.target, Resolve(action.value)});
            break;
        case ActionKind::Set:
            SetVariable(action.target, Resolve(action.value));
            break;
        case ActionKind::TGoto:
            if (auto target = SharedPath(action.target)) Goto(target, FrameOf(action.frame));
            break;
        case ActionKind::TPlay:
        case ActionKind::TStop:
            if (auto target = SharedPath(action.target))
                target->playing = action.kind == ActionKind::TPlay;
            break;
    }
}

bool MoviePlayback::Holds(const Condition& condition) const {
    return (GetVariable(condition.name) == Resolve(condition.value)) == condition.equal;
}

std::string MoviePlayback::Resolve(const Value& value) const {
    return value.variable ? GetVariable(value.text) : value.text;
}

// The frame number a value holds; -1 (go nowhere) when it holds no number.
long MoviePlayback::FrameOf(const Value& value) const {
    const std::string text = Resolve(value);
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    if (first == std::string::npos) return -1;
    long long number = 0;
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    const auto [ptr, ec] = std::from_chars(begin, end, number);
    if (ptr != end) return -1;
    if (ec == std::errc::result_out_of_range) return *begin == '-' ? -1 : LONG_MAX;
    if (ec != std::errc()) return -1;
    return static_cast<long>(std::clamp<long long>(number, -1, LONG_MAX));
}

void MoviePlayback::Tick() {
    BeginEntry();
    ++tick_;
    Advance(root_);
}

// Moves a playing timeline on, then its instances in placing order. Instances
// made during this tick start moving at the next one.
void MoviePlayback::Advance(const std::shared_ptr<ClipInstance>& instance) {
    if (!instance->alive || (instance != root_ && instance->bornTick == tick_)) return;
    if (instance->playing && instance->LastFrame() > 0) {
        depth_ = 0;
        halted_ = steps_ > kMaxSteps;
        EnterFrame(instance, instance->frame >= instance->LastFrame() ? 0 : instance->frame + 1);
    }
    const auto children = instance->children;
    for (const auto& child : children)
        Advance(child);
}

void MoviePlayback::GotoFrame(long frame) {
    BeginEntry();
    Goto(root_, frame);
}

void MoviePlayback::TGotoFrame(const std::string& path, long frame) {
    BeginEntry();
    if (auto target = SharedPath(path)) Goto(target, frame);
}

long MoviePlayback::TCurrentFrame(const std::string& path) const {
    const ClipInstance* target = FindPath(path);
    return target ? target->frame : -1;
}

void MoviePlayback::TPlay(const std::string& path) {
    if (ClipInstance* target = FindPath(path)) target->playing = true;
}

void MoviePlayback::TStop(const std::string& path) {
    if (ClipInstance* target = FindPath(path)) target->playing = false;
}

void MoviePlayback::TCallFrame(const std::string& path, long frame) {
    BeginEntry();
    if (auto target = SharedPath(path)) CallFrame(target, frame);
}

void MoviePlayback::SetVariable(const std::string& name, const std::string& value) {
    auto [it, added] = variables_.try_emplace(name, value);
    if (!added && it->second == value) return;
    it->second = value;
    changed_ = true;
}

std::string MoviePlayback::GetVariable(const std::string& name) const {
    const auto found = variables_.find(name);
    return found == variables_.end() ? std::string() : found->second;
}

void MoviePlayback::RunButton(std::uint64_t instanceId, const ActionList& actions) {
    BeginEntry();
    if (auto self = FindById(root_, instanceId); self && self->alive) RunActions(self, actions);
}

void MoviePlayback::SetSliderValue(std::uint64_t instanceId, const SliderItem& slider, int value) {
    ClipInstance* self = FindInstance(instanceId);
    if (!self || !self->alive) return;
    value = std::clamp(value, slider.min, slider.max);
    if (SliderValue(*self, slider) == value) return;
    self->sliders[&slider] = value;
    changed_ = true;
    commands_.push_back(FsCommand{slider.command, std::to_string(value)});
}

int MoviePlayback::SliderValue(const ClipInstance& instance, const SliderItem& slider) const {
    const auto found = instance.sliders.find(&slider);
    return found == instance.sliders.end() ? slider.value : found->second;
}

ClipInstance* MoviePlayback::FindInstance(std::uint64_t id) {
    return FindById(root_, id).get();
}

std::shared_ptr<ClipInstance> MoviePlayback::SharedPath(const std::string& path) const {
    std::string_view rest(path);
    if (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
    std::shared_ptr<ClipInstance> at = root_;
    while (at && !rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view name = rest.substr(0, slash);
        if (name.empty()) return nullptr;
        at = Child(*at, name);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (slash != std::string_view::npos && rest.empty()) return nullptr;
    }
    return at;
}

ClipInstance* MoviePlayback::FindPath(const std::string& path) const {
    return SharedPath(path).get();
}

std::deque<FsCommand> MoviePlayback::TakeCommands() {
    std::deque<FsCommand> out;
    out.swap(commands_);
    return out;
}

bool MoviePlayback::TakeChanged() {
    const bool changed = changed_;
    changed_ = false;
    return changed;
}

}  // namespace player
