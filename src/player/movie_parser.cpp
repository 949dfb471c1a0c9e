#include "movie_parser.h"

#include <algorithm>
#include <map>
#include <set>

#include "movie_image.h"
#include "statement_parsers.h"
#include "token_cursor.h"
#include "utf8_lines.h"

namespace player {
namespace {

// What an item brings to the frame or group that holds it, counting what is
// inside used groups and placed clips: a frame never shows more than 4096
// items, its clips' included, so drawing and playing it stays bounded.
struct Contribution {
    int items = 1;
    int depth = 0;  // how deep the clips it brings are nested
    const std::set<std::string>* names = nullptr;
    std::string name;  // a place's instance name
};

// The counts of a frame or group being read.
struct Counts {
    int items = 0;
    int depth = 0;
    std::set<std::string> names;
};

struct FrameBuild {
    Frame frame;
    Counts counts;
};

struct GroupInfo {
    Counts counts;
};

struct ClipInfo {
    int items = 0;  // the most items one of its frames shows
    int depth = 0;
};

enum class Scope { Top, Group, Clip };

class Parser {
public:
    explicit Parser(std::string folder) : folder_(std::move(folder)) {}
    std::shared_ptr<const Movie> Run(std::string_view text, std::string* error);

private:
    bool Fail(const std::string& message);
    bool Fail(const TokenCursor& c) { return Fail(c.Error()); }
    bool ReadLine(std::string_view line);
    bool Statement(const std::vector<Token>& tokens);
    bool Header(const std::string& keyword, TokenCursor& c);
    bool Structure(const std::string& keyword, TokenCursor& c);
    bool OpenGroupOrClip(const std::string& keyword, TokenCursor& c);
    bool End(TokenCursor& c);
    bool FrameStatement(TokenCursor& c);
    bool ActionStatement(TokenCursor& c);
    bool VarStatement(TokenCursor& c);
    bool ImageStatement(TokenCursor& c);
    bool ItemStatement(const std::string& keyword, TokenCursor& c);
    bool UseItemStatement(TokenCursor& c, Item& item, Contribution& add);
    bool PlaceItemStatement(TokenCursor& c, Item& item, Contribution& add);
    bool AddItem(Item item, const Contribution& add);
    bool Finish();
    bool ResolvePictures(std::vector<Item>& items);
    Timeline BuildTimeline(std::map<int, FrameBuild>& frames) const;

    std::string folder_;
    Movie movie_;
    std::string error_;
    int line_ = 0;
    int statements_ = 0;
    Scope scope_ = Scope::Top;
    int openLine_ = 0;
    std::string openName_;
    std::map<int, FrameBuild> mainFrames_, clipFrames_;
    FrameBuild* frame_ = nullptr;
    Group group_;
    Counts groupCounts_;
    std::map<std::string, int> groupIndex_, clipIndex_, imageIndex_;
    std::vector<GroupInfo> groupInfo_;
    std::vector<ClipInfo> clipInfo_;
};

bool Parser::Fail(const std::string& message) {
    if (error_.empty()) error_ = "line " + std::to_string(line_) + ": " + message;
    return false;
}

std::shared_ptr<const Movie> Parser::Run(std::string_view text, std::string* error) {
    bool ok = true;
    if (text.size() > kMaxMovieBytes) {
        line_ = 1 + static_cast<int>(std::count(text.begin(), text.begin() + kMaxMovieBytes, '\n'));
        ok = Fail("the movie is larger than 1 MB");
    }
    LineReader lines(text);
    std::string_view line;
    while (ok && lines.Next(line)) {
        line_ = lines.LineNumber();
        ok = ReadLine(line);
    }
    line_ = std::max(lines.LineNumber(), 1);
    if (ok) ok = Finish();
    if (!ok) {
        if (error) *error = error_;
        return nullptr;
    }
    return std::make_shared<const Movie>(std::move(movie_));
}

bool Parser::ReadLine(std::string_view line) {
    if (!IsValidUtf8(line)) return Fail("the text is not UTF-8");
    if (CountChars(line) > kMaxLineChars) return Fail("the line is longer than 8192 characters");
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') return true;
    std::vector<Token> tokens;
    std::string message;
    if (!TokenizeLine(line, tokens, message)) return Fail(message);
    return Statement(tokens);
}

bool Parser::Statement(const std::vector<Token>& tokens) {
    TokenCursor c(tokens);
    std::string keyword;
    if (!c.Word(keyword, "a statement")) return Fail(c);
    if (statements_ < 2 || keyword == "pennon" || keyword == "stage") return Header(keyword, c);
    if (keyword == "var") return VarStatement(c);
    if (keyword == "image") return ImageStatement(c);
    if (keyword == "group" || keyword == "clip" || keyword == "end" || keyword == "frame" ||
        keyword == "action") {
        return Structure(keyword, c);
    }
    if (IsDrawingItem(keyword) || keyword == "use" || keyword == "place")
        return ItemStatement(keyword, c);
    return Fail("unknown statement '" + keyword + "'");
}

bool Parser::Header(const std::string& keyword, TokenCursor& c) {
    if (statements_ == 0 && keyword != "pennon") return Fail("a movie starts with 'pennon 1'");
    if (statements_ == 1 && keyword != "stage") return Fail("'stage' must follow 'pennon'");
    if (statements_ >= 2) return Fail("'" + keyword + "' may come only once");
    ++statements_;
    if (keyword == "pennon") {
        int version = 0;
        if (!c.Number(version, "the format version") || !c.End()) return Fail(c);
        return version == 1 || Fail("unsupported format version " + std::to_string(version));
    }
    Movie& m = movie_;
    if (!c.Size(m.width, "the stage width") || !c.Size(m.height, "the stage height") ||
        !c.Keyword("fps") || !c.Size(m.fps, "the frame rate") || !c.Keyword("background") ||
        !c.Color(m.background, "the background colour") || !c.End()) {
        return Fail(c);
    }
    if (m.width < 1 || m.height < 1) return Fail("the stage must be at least 1 x 1");
    if (m.fps < 1 || m.fps > kMaxFps) return Fail("the frame rate must be from 1 to 1000");
    return true;
}

bool Parser::Structure(const std::string& keyword, TokenCursor& c) {
    if (keyword == "group" || keyword == "clip") return OpenGroupOrClip(keyword, c);
    if (keyword == "end") return End(c);
    if (keyword == "frame") return FrameStatement(c);
    return ActionStatement(c);
}

bool Parser::OpenGroupOrClip(const std::string& keyword, TokenCursor& c) {
    if (scope_ != Scope::Top) return Fail("'" + keyword + "' inside a group or clip");
    std::string name;
    if (!c.Word(name, "a name") || !c.End()) return Fail(c);
    const bool isGroup = keyword == "group";
    if (isGroup && groupIndex_.count(name)) return Fail("group '" + name + "' defined twice");
    if (!isGroup && clipIndex_.count(name)) return Fail("clip '" + name + "' defined twice");
    if (isGroup && movie_.groups.size() >= kMaxGroups) return Fail("more than 64 groups");
    if (!isGroup && movie_.clips.size() >= kMaxClips) return Fail("more than 256 clips");
    scope_ = isGroup ? Scope::Group : Scope::Clip;
    openLine_ = line_;
    openName_ = name;
    frame_ = nullptr;
    group_ = Group{name, {}};
    groupCounts_ = Counts{};
    clipFrames_.clear();
    return true;
}

bool Parser::End(TokenCursor& c) {
    if (!c.End()) return Fail(c);
    if (scope_ == Scope::Top) return Fail("'end' without 'group' or 'clip'");
    if (scope_ == Scope::Group) {
        groupIndex_[openName_] = static_cast<int>(movie_.groups.size());
        movie_.groups.push_back(std::move(group_));
        groupInfo_.push_back(GroupInfo{std::move(groupCounts_)});
    } else {
        ClipInfo info;
        for (const auto& [number, f] : clipFrames_) {
            info.items = std::max(info.items, f.counts.items);
            info.depth = std::max(info.depth, f.counts.depth);
        }
        info.depth += 1;
        clipIndex_[openName_] = static_cast<int>(movie_.clips.size());
        movie_.clips.push_back(Clip{openName_, BuildTimeline(clipFrames_)});
        clipInfo_.push_back(info);
        clipFrames_.clear();
    }
    scope_ = Scope::Top;
    frame_ = nullptr;
    return true;
}

bool Parser::FrameStatement(TokenCursor& c) {
    int number = 0;
    if (!c.Number(number, "the frame number") || !c.End()) return Fail(c);
    if (scope_ == Scope::Group) return Fail("a group has no frames");
    if (number < 0 || number >= kMaxFrames) return Fail("frame numbers go from 0 to 4095");
    auto& frames = scope_ == Scope::Clip ? clipFrames_ : mainFrames_;
    auto [it, added] = frames.try_emplace(number);
    if (!added) return Fail("frame " + std::to_string(number) + " comes twice");
    frame_ = &it->second;
    return true;
}

bool Parser::ActionStatement(TokenCursor& c) {
    if (!frame_ || scope_ == Scope::Group) return Fail("'action' outside a frame");
    if (!ParseActions(c, frame_->frame.actions)) return Fail(c);
    return true;
}

bool Parser::VarStatement(TokenCursor& c) {
    std::pair<std::string, Value> var;
    if (!c.Word(var.first, "a variable name") ||
        !c.ValueToken(var.second, "the value (a string or $name)") || !c.End()) {
        return Fail(c);
    }
    movie_.variables.push_back(std::move(var));
    return true;
}

bool Parser::ImageStatement(TokenCursor& c) {
    MovieImage image;
    std::string path;
    if (!c.Word(image.name, "an image name") || !c.String(path, "the file name (a string)") ||
        !c.End()) {
        return Fail(c);
    }
    if (imageIndex_.count(image.name)) return Fail("image '" + image.name + "' defined twice");
    if (movie_.images.size() >= kMaxImages) return Fail("more than 64 images");
    std::string message;
    image.picture = LoadMovieImage(folder_, path, message);
    if (!image.picture) return Fail(message);
    imageIndex_[image.name] = static_cast<int>(movie_.images.size());
    movie_.images.push_back(std::move(image));
    return true;
}

bool Parser::ItemStatement(const std::string& keyword, TokenCursor& c) {
    if (scope_ != Scope::Group && !frame_)
        return Fail("'" + keyword + "' outside a frame or group");
    Item item;
    Contribution add;
    bool ok = true;
    if (keyword == "use")
        ok = UseItemStatement(c, item, add);
    else if (keyword == "place")
        ok = PlaceItemStatement(c, item, add);
    else
        ok = ParseDrawingItem(keyword, c, item) || Fail(c);
    if (auto* picture = std::get_if<PictureItem>(&item)) picture->line = line_;
    return ok && AddItem(std::move(item), add);
}

bool Parser::UseItemStatement(TokenCursor& c, Item& item, Contribution& add) {
    std::string name;
    if (!c.Word(name, "a group name") || !c.End()) return Fail(c);
    const auto found = groupIndex_.find(name);
    if (found == groupIndex_.end()) {
        return Fail(scope_ == Scope::Group && name == openName_
                        ? "group '" + name + "' uses itself"
                        : "no group '" + name + "' defined before");
    }
    const Counts& g = groupInfo_[static_cast<std::size_t>(found->second)].counts;
    add.items = g.items;
    add.depth = g.depth;
    add.names = &g.names;
    item = UseItem{found->second};
    return true;
}

bool Parser::PlaceItemStatement(TokenCursor& c, Item& item, Contribution& add) {
    std::string clip;
    PlaceItem place;
    if (!c.Word(clip, "a clip name") || !c.Keyword("as") ||
        !c.Word(place.instance, "an instance name") || !c.Number(place.x, "X") ||
        !c.Number(place.y, "Y") || !c.End()) {
        return Fail(c);
    }
    if (place.instance.find('/') != std::string::npos)
        return Fail("an instance name may not contain '/'");
    const auto found = clipIndex_.find(clip);
    if (found == clipIndex_.end()) {
        return Fail(scope_ == Scope::Clip && clip == openName_
                        ? "clip '" + clip + "' places itself"
                        : "no clip '" + clip + "' defined before");
    }
    place.clip = found->second;
    const ClipInfo& info = clipInfo_[static_cast<std::size_t>(found->second)];
    add.items = 1 + info.items;
    add.depth = info.depth;
    add.name = place.instance;
    item = std::move(place);
    return true;
}

bool Parser::AddItem(Item item, const Contribution& add) {
    Counts& counts = scope_ == Scope::Group ? groupCounts_ : frame_->counts;
    const char* where = scope_ == Scope::Group ? "group" : "frame";
    counts.items += add.items;
    if (counts.items > kMaxFrameItems)
        return Fail(std::string("more than 4096 items in a ") + where);
    const int depth = add.depth + (scope_ == Scope::Clip ? 1 : 0);
    if (depth > kMaxNesting) return Fail("clips nested more than 8 deep");
    counts.depth = std::max(counts.depth, add.depth);
    auto addName = [&](const std::string& name) {
        return counts.names.insert(name).second ||
               Fail("instance name '" + name + "' used twice in a " + where);
    };
    if (!add.name.empty() && !addName(add.name)) return false;
    if (add.names)
        for (const std::string& name : *add.names)
            if (!addName(name)) return false;
    auto& items = scope_ == Scope::Group ? group_.items : frame_->frame.items;
    items.push_back(std::move(item));
    return true;
}

bool Parser::ResolvePictures(std::vector<Item>& items) {
    for (Item& item : items) {
        auto* picture = std::get_if<PictureItem>(&item);
        if (!picture) continue;
        const auto found = imageIndex_.find(picture->name);
        if (found == imageIndex_.end()) {
            line_ = picture->line;
            return Fail("no image '" + picture->name + "'");
        }
        picture->image = found->second;
    }
    return true;
}

Timeline Parser::BuildTimeline(std::map<int, FrameBuild>& frames) const {
    Timeline timeline;
    const std::size_t count =
        frames.empty() ? 1 : static_cast<std::size_t>(frames.rbegin()->first) + 1;
    timeline.frames.resize(count);
    for (auto& [number, f] : frames)
        timeline.frames[static_cast<std::size_t>(number)] = std::move(f.frame);
    return timeline;
}

bool Parser::Finish() {
    if (statements_ == 0) return Fail("a movie starts with 'pennon 1'");
    if (statements_ == 1) return Fail("the movie has no 'stage'");
    if (scope_ != Scope::Top) {
        line_ = openLine_;
        return Fail((scope_ == Scope::Group ? "group '" : "clip '") + openName_ + "' has no 'end'");
    }
    movie_.main = BuildTimeline(mainFrames_);
    for (Group& g : movie_.groups)
        if (!ResolvePictures(g.items)) return false;
    for (Clip& clip : movie_.clips)
        for (Frame& f : clip.timeline.frames)
            if (!ResolvePictures(f.items)) return false;
    for (Frame& f : movie_.main.frames)
        if (!ResolvePictures(f.items)) return false;
    return true;
}

}  // namespace

std::shared_ptr<const Movie> ParseMovie(std::string_view text, const std::string& folder,
                                        std::string* error) {
    return Parser(folder).Run(text, error);
}

}  // namespace player
