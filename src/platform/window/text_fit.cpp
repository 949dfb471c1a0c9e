#include "text_fit.h"

#include "platform/gdi/gdi.h"

namespace {

// The length of a well-formed UTF-8 sequence at s[i], or 0.
std::size_t SequenceLength(const std::string& s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = byte(i);
    if (b < 0x80) return 1;
    std::size_t n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 0;
    if (n == 0 || b > 0xF4 || i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    const unsigned char b1 = byte(i + 1);
    if ((b == 0xE0 && b1 < 0xA0) || (b == 0xED && b1 >= 0xA0) || (b == 0xF0 && b1 < 0x90) ||
        (b == 0xF4 && b1 >= 0x90))
        return 0;  // overlong, surrogate or beyond U+10FFFF
    return n;
}

// Offsets of every character boundary after the first character, ending at size.
std::vector<std::size_t> Boundaries(const std::string& text) {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = SequenceLength(text, i);
        i += n ? n : 1;
        out.push_back(i);
    }
    return out;
}

// The longest prefix length (a boundary, or 0) whose text fits the width.
std::size_t FittingPrefix(HDC hdc, const std::string& text, int width,
                          const std::string& suffix = "") {
    const std::vector<std::size_t> cuts = Boundaries(text);
    std::size_t lo = 0, hi = cuts.size();  // cuts[k-1] is the prefix of k characters
    while (lo < hi) {
        const std::size_t mid = (lo + hi + 1) / 2;
        if (TextWidth(hdc, text.substr(0, cuts[mid - 1]) + suffix) <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo == 0 ? 0 : cuts[lo - 1];
}

// Where the extension of a file name starts (its "."), or npos: a short last part
// after a "." that is not the name's first character.
std::size_t ExtensionStart(const std::string& name) {
    constexpr std::size_t kLongestExtension = 10;
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return std::string::npos;
    const std::size_t length = name.size() - dot - 1;
    if (length > kLongestExtension || name.find(' ', dot) != std::string::npos)
        return std::string::npos;
    return dot;
}

bool IsBreak(char c) {
    return c == ' ' || c == '-' || c == '_' || c == '.';
}

}  // namespace

std::string DisplayText(const std::string& raw) {
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size();) {
        const std::size_t n = SequenceLength(raw, i);
        if (n) {
            out.append(raw, i, n);
            i += n;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

int TextWidth(HDC hdc, const std::string& text) {
    SIZE size{};
    GetTextExtentPoint32(hdc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

std::string Ellipsize(HDC hdc, const std::string& text, int width, bool* cut) {
    const bool fits = TextWidth(hdc, text) <= width;
    if (cut) *cut = !fits;
    if (fits) return text;
    return text.substr(0, FittingPrefix(hdc, text, width, "...")) + "...";
}

std::string EllipsizeName(HDC hdc, const std::string& name, int width, bool* cut) {
    const bool fits = TextWidth(hdc, name) <= width;
    if (cut) *cut = !fits;
    if (fits) return name;
    const std::size_t dot = ExtensionStart(name);
    if (dot == std::string::npos) return Ellipsize(hdc, name, width);
    const std::string tail = "..." + name.substr(dot);
    const std::string stem = name.substr(0, dot);
    if (TextWidth(hdc, tail) > width) return Ellipsize(hdc, name, width);
    return stem.substr(0, FittingPrefix(hdc, stem, width, tail)) + tail;
}

std::vector<std::string> WrapLines(HDC hdc, const std::string& text, int width, int maxLines) {
    std::vector<std::string> lines;
    std::string rest = text;
    while (!rest.empty() && static_cast<int>(lines.size()) < maxLines - 1) {
        if (TextWidth(hdc, rest) <= width) break;
        std::size_t take = FittingPrefix(hdc, rest, width);
        if (take == 0) take = Boundaries(rest).front();  // one character always goes
        std::size_t soft = take;
        while (soft > 1 && !IsBreak(rest[soft - 1]))
            --soft;
        if (soft > 1 && take < rest.size()) take = soft;
        lines.push_back(rest.substr(0, take));
        rest.erase(0, take);
    }
    if (!rest.empty() || lines.empty()) lines.push_back(Ellipsize(hdc, rest, width));
    return lines;
}
