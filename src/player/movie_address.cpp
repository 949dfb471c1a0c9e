#include "movie_address.h"

#include <cctype>

namespace player {
namespace {

int Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

std::vector<std::pair<std::string, std::string>> ParseQuery(std::string_view query) {
    std::vector<std::pair<std::string, std::string>> pairs;
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (pair.empty()) continue;
        const std::size_t eq = pair.find('=');
        const std::string_view name = pair.substr(0, eq);
        const std::string_view value =
            eq == std::string_view::npos ? std::string_view() : pair.substr(eq + 1);
        pairs.emplace_back(PercentDecode(name, true), PercentDecode(value, true));
    }
    return pairs;
}

}  // namespace

std::string PercentDecode(std::string_view text, bool plusIsSpace) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && Hex(text[i + 1]) >= 0 &&
            Hex(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(Hex(text[i + 1]) * 16 + Hex(text[i + 2])));
            i += 2;
        } else if (plusIsSpace && text[i] == '+') {
            out.push_back(' ');
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

bool ParseMovieAddress(std::string_view url, MovieAddress& out, std::string& error) {
    out = MovieAddress{};
    const std::size_t question = url.find('?');
    std::string_view path = url.substr(0, question);
    if (question != std::string_view::npos) out.query = ParseQuery(url.substr(question + 1));
    const bool isUrl = StartsWithNoCase(path, "file:");
    if (isUrl) {
        path.remove_prefix(5);
        if (path.substr(0, 2) == "//") {
            path.remove_prefix(2);
            const std::size_t slash = path.find('/');
            const std::string_view host = path.substr(0, slash);
            if (!host.empty() && !(host.size() == 9 && StartsWithNoCase(host, "localhost"))) {
                error = "the movie address names another computer";
                return false;
            }
            path = slash == std::string_view::npos ? std::string_view() : path.substr(slash);
        }
        out.path = PercentDecode(path, false);
    } else if (path.find("://") != std::string_view::npos) {
        error = "the movie address is not a file";
        return false;
    } else {
        out.path = std::string(path);
    }
    if (out.path.empty()) {
        error = "the movie address has no path";
        return false;
    }
    return true;
}

}  // namespace player
