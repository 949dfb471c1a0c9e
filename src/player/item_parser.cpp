// The drawing and pointer items of frames and groups.
#include <set>

#include "statement_parsers.h"

namespace player {
namespace {

bool ParseBox(TokenCursor& c, Box& box) {
    return c.Number(box.x, "X") && c.Number(box.y, "Y") && c.Size(box.w, "the width") &&
           c.Size(box.h, "the height");
}

// What reading one option gave: its value read, a bad value, or an unknown name.
enum class Option { Read, Bad, Unknown };

Option Read(bool ok) {
    return ok ? Option::Read : Option::Bad;
}

// Reads the options of an item in any order, each at most once; `option` reads
// the one named by the word it is given.
template <typename ReadOption>
bool ParseOptions(TokenCursor& c, ReadOption&& option) {
    std::set<std::string> seen;
    while (!c.AtEnd()) {
        std::string name;
        if (!c.Word(name, "an option")) return false;
        if (!seen.insert(name).second) return c.Fail("option '" + name + "' given twice");
        const Option result = option(name);
        if (result == Option::Unknown) return c.Fail("unknown option '" + name + "'");
        if (result == Option::Bad) return false;
    }
    return true;
}

bool ParseRect(TokenCursor& c, Item& item) {
    RectItem r;
    if (!ParseBox(c, r.box) || !c.Keyword("fill") || !c.ColorOrNone(r.fill, "a fill colour"))
        return false;
    bool ok = ParseOptions(c, [&](const std::string& name) {
        if (name == "stroke") return Read(c.Color(r.stroke.emplace(), "a stroke colour"));
        if (name == "width") return Read(c.Size(r.width, "the stroke width"));
        if (name == "radius") return Read(c.Size(r.radius, "the radius"));
        return Option::Unknown;
    });
    if (!ok) return false;
    if (r.width < 1) return c.Fail("the stroke width must be at least 1");
    item = std::move(r);
    return true;
}

bool ParseGradient(TokenCursor& c, Item& item) {
    GradientItem g;
    if (!ParseBox(c, g.box) || !c.Keyword("from") || !c.Color(g.from, "a colour after 'from'") ||
        !c.Keyword("to") || !c.Color(g.to, "a colour after 'to'")) {
        return false;
    }
    if (c.PeekWord("horizontal")) {
        c.Keyword("horizontal");
        g.horizontal = true;
    }
    item = g;
    return c.End();
}

bool ParseLine(TokenCursor& c, Item& item) {
    LineItem l;
    if (!c.Number(l.x1, "X1") || !c.Number(l.y1, "Y1") || !c.Number(l.x2, "X2") ||
        !c.Number(l.y2, "Y2") || !c.Keyword("color") || !c.Color(l.color, "the line colour")) {
        return false;
    }
    if (c.PeekWord("width")) {
        c.Keyword("width");
        if (!c.Size(l.width, "the line width")) return false;
        if (l.width < 1) return c.Fail("the line width must be at least 1");
    }
    item = l;
    return c.End();
}

bool ParseEllipse(TokenCursor& c, Item& item) {
    EllipseItem e;
    if (!ParseBox(c, e.box) || !c.Keyword("fill") || !c.ColorOrNone(e.fill, "a fill colour"))
        return false;
    if (c.PeekWord("stroke")) {
        c.Keyword("stroke");
        if (!c.Color(e.stroke.emplace(), "a stroke colour")) return false;
    }
    item = e;
    return c.End();
}

bool ParsePolygon(TokenCursor& c, Item& item) {
    PolygonItem p;
    if (!c.Keyword("fill") || !c.Color(p.fill, "a fill colour") || !c.Keyword("points"))
        return false;
    while (!c.AtEnd()) {
        POINT pt{};
        int x = 0, y = 0;
        if (!c.Number(x, "X") || !c.Number(y, "Y")) return false;
        pt.x = x;
        pt.y = y;
        p.points.push_back(pt);
    }
    if (p.points.size() < 3) return c.Fail("a polygon needs at least three points");
    item = std::move(p);
    return true;
}

bool ParsePicture(TokenCursor& c, Item& item) {
    PictureItem p;
    if (!c.Word(p.name, "an image name") || !c.Number(p.x, "X") || !c.Number(p.y, "Y"))
        return false;
    item = std::move(p);
    return c.End();
}

// The style options of texts and fields; fields (with `fileName`) also take "name".
bool ParseStyle(TokenCursor& c, TextStyle& s, bool* fileName = nullptr) {
    bool ok = ParseOptions(c, [&](const std::string& name) {
        if (fileName && name == "name") return Read(*fileName = true);
        if (name == "font") return Read(c.String(s.font, "a font name"));
        if (name == "color") return Read(c.Color(s.color, "a text colour"));
        if (name == "bold") return Read(s.bold = true);
        if (name == "size") {
            if (!c.Number(s.size, "the text size")) return Option::Bad;
            return Read((s.size >= 1 && s.size <= 500) ||
                        c.Fail("the text size must be from 1 to 500"));
        }
        std::string v;
        if (name == "align") {
            if (!c.Word(v, "left, center or right")) return Option::Bad;
            s.align = v == "center" ? Align::Center : v == "right" ? Align::Right : Align::Left;
            return Read(v == "left" || v == "center" || v == "right" ||
                        c.Fail("align is left, center or right"));
        }
        if (name == "valign") {
            if (!c.Word(v, "top, middle or bottom")) return Option::Bad;
            s.valign = v == "middle"   ? VAlign::Middle
                       : v == "bottom" ? VAlign::Bottom
                                       : VAlign::Top;
            return Read(v == "top" || v == "middle" || v == "bottom" ||
                        c.Fail("valign is top, middle or bottom"));
        }
        return Option::Unknown;
    });
    return ok;
}

bool ParseText(TokenCursor& c, Item& item) {
    TextItem t;
    if (!ParseBox(c, t.box) || !c.String(t.markup, "the text (a string)") ||
        !ParseStyle(c, t.style)) {
        return false;
    }
    item = std::move(t);
    return true;
}

bool ParseField(TokenCursor& c, Item& item) {
    FieldItem f;
    if (!ParseBox(c, f.box) || !c.Keyword("var") || !c.Word(f.variable, "a variable name") ||
        !ParseStyle(c, f.style, &f.fileName)) {
        return false;
    }
    item = std::move(f);
    return true;
}

bool ParseButton(TokenCursor& c, Item& item) {
    ButtonItem b;
    if (!ParseBox(c, b.box)) return false;
    std::set<std::string> seen;
    while (!c.PeekWord("do")) {
        std::string name;
        if (!c.Word(name, "'tip', 'hilite' or 'do'")) return false;
        if (!seen.insert(name).second) return c.Fail("option '" + name + "' given twice");
        if (name == "tip") {
            if (!c.String(b.tip, "the tip (a string)")) return false;
        } else if (name == "hilite") {
            if (!c.Color(b.hilite.emplace(), "the hilite colour")) return false;
        } else {
            return c.Fail("unknown option '" + name + "'");
        }
    }
    c.Keyword("do");
    if (!ParseActions(c, b.actions)) return false;
    item = std::move(b);
    return true;
}

bool ParseHover(TokenCursor& c, Item& item) {
    HoverItem h;
    if (!ParseBox(c, h.box) || !c.Keyword("tip") || !c.String(h.tip, "the tip (a string)"))
        return false;
    item = std::move(h);
    return c.End();
}

bool ParseSlider(TokenCursor& c, Item& item) {
    SliderItem s;
    if (!ParseBox(c, s.box) || !c.Keyword("min") || !c.Number(s.min, "the minimum") ||
        !c.Keyword("max") || !c.Number(s.max, "the maximum") || !c.Keyword("value") ||
        !c.Number(s.value, "the starting value") || !c.Keyword("command") ||
        !c.String(s.command, "the command (a string)")) {
        return false;
    }
    bool ok = ParseOptions(c, [&](const std::string& name) {
        if (name == "tip") return Read(c.String(s.tip, "the tip (a string)"));
        if (name == "track") return Read(c.Color(s.track, "the track colour"));
        if (name == "knob") return Read(c.Color(s.knob, "the knob colour"));
        return Option::Unknown;
    });
    if (!ok) return false;
    if (s.min >= s.max) return c.Fail("the minimum must be below the maximum");
    if (s.value < s.min || s.value > s.max)
        return c.Fail("the starting value must be from the minimum to the maximum");
    item = std::move(s);
    return true;
}

}  // namespace

bool IsDrawingItem(const std::string& keyword) {
    static const std::set<std::string> kItems{"rect",    "gradient", "line",  "ellipse",
                                              "polygon", "picture",  "text",  "field",
                                              "button",  "hover",    "slider"};
    return kItems.count(keyword) != 0;
}

bool ParseDrawingItem(const std::string& keyword, TokenCursor& c, Item& item) {
    if (keyword == "rect") return ParseRect(c, item);
    if (keyword == "gradient") return ParseGradient(c, item);
    if (keyword == "line") return ParseLine(c, item);
    if (keyword == "ellipse") return ParseEllipse(c, item);
    if (keyword == "polygon") return ParsePolygon(c, item);
    if (keyword == "picture") return ParsePicture(c, item);
    if (keyword == "text") return ParseText(c, item);
    if (keyword == "field") return ParseField(c, item);
    if (keyword == "button") return ParseButton(c, item);
    if (keyword == "hover") return ParseHover(c, item);
    if (keyword == "slider") return ParseSlider(c, item);
    return c.Fail("unknown item '" + keyword + "'");
}

}  // namespace player
