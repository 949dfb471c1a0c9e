#include "uri_list.h"

#include <climits>

#include "thumbnail_uri.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Percent-decoded; nothing for a cut or non-hex escape, or one that makes a NUL,
// which would end the path early wherever it is handed on.
std::optional<std::string> PercentDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            if (text[i] == '\0') return std::nullopt;
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0)) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

// The part after "file:" that is the path: an authority must be empty or
// "localhost", since a file on another host cannot be opened by its path here.
std::optional<std::string_view> PathPart(std::string_view rest) {
    if (rest.substr(0, 2) != "//") return rest;
    rest.remove_prefix(2);
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::string_view host = rest.substr(0, slash);
    const bool local = host.empty() || (host.size() == 9 && StartsWithNoCase(host, "localhost"));
    if (!local) return std::nullopt;
    return rest.substr(slash);
}

}  // namespace

std::optional<std::string> PathOfFileUri(std::string_view uri) {
    if (!StartsWithNoCase(uri, "file:")) return std::nullopt;
    const std::optional<std::string_view> part = PathPart(uri.substr(5));
    if (!part || part->empty() || part->front() != '/') return std::nullopt;
    if (part->find_first_of("?#") != std::string_view::npos) return std::nullopt;
    std::optional<std::string> path = PercentDecoded(*part);
    if (!path || path->size() >= PATH_MAX) return std::nullopt;
    return path;
}

std::vector<std::string> PathsOfUriList(std::string_view text) {
    std::vector<std::string> paths;
    while (!text.empty() && paths.size() < kMaxUriListFiles) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        if (std::optional<std::string> path = PathOfFileUri(line)) paths.push_back(*path);
    }
    return paths;
}

// The thumbnail cache's spelling of a file's URI is the plain one.
std::string FileUriOf(const std::string& absolutePath) {
    return ThumbnailUri(absolutePath);
}
