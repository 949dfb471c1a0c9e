#include "text_markup.h"

#include <algorithm>
#include <cctype>

namespace player {
namespace {

constexpr int kMaxMarkupSize = 500;

struct Tag {
    std::string name;  // lower case
    bool closing = false;
    std::vector<std::pair<std::string, std::string>> attributes;  // names lower case

    const std::string* Attribute(const char* attribute) const {
        for (const auto& [n, v] : attributes)
            if (n == attribute) return &v;
        return nullptr;
    }
};

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':';
}

// The entity at `text` (which starts with '&') and its length; 0 when none.
std::size_t Entity(std::string_view text, char& out) {
    static const std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (const auto& [name, c] : kEntities) {
        if (text.substr(0, name.size()) == name) {
            out = c;
            return name.size();
        }
    }
    return 0;
}

std::string DecodeEntities(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        char c = 0;
        const std::size_t n = text[i] == '&' ? Entity(text.substr(i), c) : 0;
        out.push_back(n ? c : text[i]);
        i += n ? n : 1;
    }
    return out;
}

// Reads the inside of a tag (between '<' and '>').
Tag ReadTag(std::string_view inside) {
    Tag tag;
    std::size_t i = 0;
    if (i < inside.size() && inside[i] == '/') {
        tag.closing = true;
        ++i;
    }
    std::size_t start = i;
    while (i < inside.size() && IsNameChar(inside[i]))
        ++i;
    tag.name = Lower(inside.substr(start, i - start));
    while (i < inside.size()) {
        while (i < inside.size() && !IsNameChar(inside[i]))
            ++i;
        start = i;
        while (i < inside.size() && IsNameChar(inside[i]))
            ++i;
        const std::string name = Lower(inside.substr(start, i - start));
        while (i < inside.size() && inside[i] == ' ')
            ++i;
        if (name.empty() || i >= inside.size() || inside[i] != '=') continue;
        ++i;
        while (i < inside.size() && inside[i] == ' ')
            ++i;
        std::string_view value;
        if (i < inside.size() && (inside[i] == '"' || inside[i] == '\'')) {
            const std::size_t end = inside.find(inside[i], i + 1);
            const std::size_t stop = end == std::string_view::npos ? inside.size() : end;
            value = inside.substr(i + 1, stop - i - 1);
            i = stop + 1;
        } else {
            start = i;
            while (i < inside.size() && inside[i] != ' ')
                ++i;
            value = inside.substr(start, i - start);
        }
        tag.attributes.emplace_back(name, DecodeEntities(value));
    }
    return tag;
}

bool ParseColor(const std::string& text, COLORREF& out) {
    if (text.size() != 7 || text[0] != '#') return false;
    unsigned value = 0;
    for (std::size_t i = 1; i < 7; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
        value = value * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(text[i]))
                                                       ? text[i] - '0'
                                                       : std::tolower(text[i]) - 'a' + 10);
    }
    out = RGB(static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 8),
              static_cast<BYTE>(value));
    return true;
}

bool ParseSize(const std::string& text, int& out) {
    if (text.empty()) return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = std::min(value * 10 + (c - '0'), kMaxMarkupSize);
    }
    out = std::clamp(value, 1, kMaxMarkupSize);
    return true;
}

Align ParseAlign(const std::string* text, Align fallback) {
    if (!text) return fallback;
    const std::string v = Lower(*text);
    if (v == "left") return Align::Left;
    if (v == "center") return Align::Center;
    if (v == "right") return Align::Right;
    return fallback;
}

class MarkupReader {
public:
    explicit MarkupReader(const TextStyle& base)
        : style_{base.font, base.size, base.color, base.bold}, align_(base.align) {
        NewLine();
    }

    std::vector<MarkupLine> Read(std::string_view markup);

private:
    void NewLine();
    bool AtLineStart() const { return lines_.back().runs.empty(); }
    void BreakIfPending();
    void Text(char c);
    void OnTag(const Tag& tag);
    void Open(const Tag& tag);
    void Close(const std::string& name);

    RunStyle style_;
    Align align_;
    bool breakPending_ = false;
    // Open tags with what they replaced: the style for font and b, the
    // alignment for p.
    struct OpenTag {
        std::string name;
        RunStyle style;
        Align align;
    };
    std::vector<OpenTag> open_;
    std::vector<MarkupLine> lines_;
};

void MarkupReader::NewLine() {
    lines_.push_back(MarkupLine{align_, style_, {}});
    breakPending_ = false;
}

void MarkupReader::BreakIfPending() {
    if (breakPending_) NewLine();
}

void MarkupReader::Text(char c) {
    BreakIfPending();
    auto& runs = lines_.back().runs;
    if (runs.empty() || !(runs.back().style == style_)) runs.push_back(StyledRun{style_, {}});
    runs.back().text.push_back(c);
}

void MarkupReader::Open(const Tag& tag) {
    open_.push_back({tag.name, style_, align_});
    if (tag.name == "b") {
        style_.bold = true;
    } else if (tag.name == "font") {
        if (const std::string* face = tag.Attribute("face")) style_.face = *face;
        if (const std::string* size = tag.Attribute("size")) ParseSize(*size, style_.size);
        if (const std::string* color = tag.Attribute("color")) ParseColor(*color, style_.color);
    } else {  // p
        BreakIfPending();
        if (!AtLineStart()) NewLine();
        align_ = ParseAlign(tag.Attribute("align"), align_);
        lines_.back().align = align_;
        lines_.back().style = style_;
    }
}

void MarkupReader::Close(const std::string& name) {
    auto it = std::find_if(open_.rbegin(), open_.rend(),
                           [&](const OpenTag& o) { return o.name == name; });
    if (it == open_.rend()) return;
    style_ = it->style;
    align_ = it->align;
    open_.erase(std::next(it).base(), open_.end());
    if (name == "p" && !AtLineStart()) breakPending_ = true;
}

void MarkupReader::OnTag(const Tag& tag) {
    if (tag.name == "br") {
        NewLine();  // also the break a closed paragraph left pending
    } else if (tag.name == "b" || tag.name == "font" || tag.name == "p") {
        if (tag.closing)
            Close(tag.name);
        else
            Open(tag);
    }
}

std::vector<MarkupLine> MarkupReader::Read(std::string_view markup) {
    for (std::size_t i = 0; i < markup.size();) {
        const char c = markup[i];
        if (c == '<') {
            const std::size_t end = markup.find('>', i);
            if (end != std::string_view::npos) {
                OnTag(ReadTag(markup.substr(i + 1, end - i - 1)));
                i = end + 1;
                continue;
            }
        } else if (c == '&') {
            char decoded = 0;
            if (const std::size_t n = Entity(markup.substr(i), decoded)) {
                Text(decoded);
                i += n;
                continue;
            }
        } else if (c == '\n') {
            NewLine();
            ++i;
            continue;
        } else if (c == '\r') {
            ++i;
            continue;
        }
        Text(c);
        ++i;
    }
    return std::move(lines_);
}

}  // namespace

std::vector<MarkupLine> ParseMarkup(std::string_view markup, const TextStyle& base) {
    return MarkupReader(base).Read(markup);
}

}  // namespace player
