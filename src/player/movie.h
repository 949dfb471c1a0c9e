// The movie: what a movie file describes, after loading. It never changes once
// loaded; playback state lives in MoviePlayback.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/base/win_types.h"

class PxImage;

namespace player {

// Limits of the format.
constexpr std::size_t kMaxMovieBytes = 1 << 20;
constexpr std::size_t kMaxLineChars = 8192;
constexpr int kMaxNumber = 32767;
constexpr int kMaxFrames = 4096;
constexpr int kMaxClips = 256;
constexpr int kMaxGroups = 64;
constexpr int kMaxImages = 64;
constexpr int kMaxImageSide = 1024;
constexpr int kMaxFrameItems = 4096;
constexpr int kMaxNesting = 8;
constexpr int kMaxFps = 1000;

enum class Align { Left, Center, Right };
enum class VAlign { Top, Middle, Bottom };

struct TextStyle {
    std::string font = "Arial";
    int size = 12;
    COLORREF color = RGB(0, 0, 0);
    Align align = Align::Left;
    VAlign valign = VAlign::Top;
    bool bold = false;
};

// A string, or the current value of a variable.
struct Value {
    std::string text;
    bool variable = false;
};

enum class ActionKind { Stop, Play, Goto, FsCommand, Set, TGoto, TPlay, TStop };

// `if NAME == VALUE` (or !=) in front of an action.
struct Condition {
    std::string name;
    bool equal = true;
    Value value;
};

struct Action {
    ActionKind kind = ActionKind::Stop;
    std::vector<Condition> conditions;  // all must hold
    std::string target;  // the variable (set), the clip path (t...), the command (fscommand)
    Value value;         // set, fscommand
    Value frame;         // goto, tgoto: a number, or a variable holding one
};
using ActionList = std::vector<Action>;

struct Box {
    int x = 0, y = 0, w = 0, h = 0;
};

struct RectItem {
    Box box;
    std::optional<COLORREF> fill, stroke;
    int width = 1;
    int radius = 0;
};
struct GradientItem {
    Box box;
    COLORREF from = 0, to = 0;
    bool horizontal = false;
};
struct LineItem {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    COLORREF color = 0;
    int width = 1;
};
struct EllipseItem {
    Box box;
    std::optional<COLORREF> fill, stroke;
};
struct PolygonItem {
    COLORREF fill = 0;
    std::vector<POINT> points;
};
struct PictureItem {
    std::string name;
    int image = -1;  // index in Movie::images, resolved when the file is loaded
    int x = 0, y = 0;
    int line = 0;
};
struct TextItem {
    Box box;
    std::string markup;
    TextStyle style;
};
struct FieldItem {
    Box box;
    std::string variable;
    TextStyle style;
    // The value is a file name: plain text on one line, shortened before its
    // extension when it is wider than the box.
    bool fileName = false;
};
struct ButtonItem {
    Box box;
    std::string tip;
    std::optional<COLORREF> hilite;
    ActionList actions;
};
struct HoverItem {
    Box box;
    std::string tip;
};
struct SliderItem {
    Box box;
    int min = 0, max = 0, value = 0;
    std::string command;
    std::string tip;
    COLORREF track = RGB(200, 200, 200);
    COLORREF knob = RGB(90, 90, 90);
};
struct UseItem {
    int group = 0;
};
struct PlaceItem {
    int clip = 0;
    std::string instance;
    int x = 0, y = 0;
};

using Item =
    std::variant<RectItem, GradientItem, LineItem, EllipseItem, PolygonItem, PictureItem, TextItem,
                 FieldItem, ButtonItem, HoverItem, SliderItem, UseItem, PlaceItem>;

struct Frame {
    std::vector<Item> items;
    ActionList actions;
};

// Frames 0 up to the highest numbered one; never empty.
struct Timeline {
    std::vector<Frame> frames;
};

struct Group {
    std::string name;
    std::vector<Item> items;
};

struct Clip {
    std::string name;
    Timeline timeline;
};

struct MovieImage {
    std::string name;
    std::shared_ptr<const PxImage> picture;
};

struct Movie {
    int width = 0, height = 0, fps = 12;
    COLORREF background = RGB(255, 255, 255);
    std::vector<std::pair<std::string, Value>> variables;  // in file order
    std::vector<MovieImage> images;
    std::vector<Group> groups;
    std::vector<Clip> clips;
    Timeline main;
};

// Calls visit(item) for every item of the list, the items of used groups in
// their place. Groups only use earlier groups, so this ends.
template <typename Visit>
void ForEachItem(const Movie& movie, const std::vector<Item>& items, Visit&& visit) {
    for (const Item& item : items) {
        if (const auto* use = std::get_if<UseItem>(&item))
            ForEachItem(movie, movie.groups[static_cast<std::size_t>(use->group)].items, visit);
        else
            visit(item);
    }
}

}  // namespace player
