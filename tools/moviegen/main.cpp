// moviegen LAYOUT STRINGS OUT: writes one language's movie. Every @NAME@ of the
// layout is replaced by that name's text from the language file; a name the
// layout uses and the file lacks, a name the file has and the layout never uses,
// or a text holding a bare double quote stops the build, as does a movie the
// player would reject.
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>

#include "player/movie_parser.h"

namespace {

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool HasBareQuote(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\')
            ++i;
        else if (text[i] == '"')
            return true;
    }
    return false;
}

// NAME = text lines; false with a message on the first bad line.
bool ReadStrings(const std::string& text, std::map<std::string, std::string>& strings,
                 std::string& error) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        const std::size_t equals = trimmed.find('=');
        const std::string name = equals == std::string::npos ? "" : Trim(trimmed.substr(0, equals));
        const std::string value =
            equals == std::string::npos ? "" : Trim(trimmed.substr(equals + 1));
        if (name.empty())
            error = "line " + std::to_string(number) + ": expected NAME = text";
        else if (HasBareQuote(value))
            error = "line " + std::to_string(number) + ": bare \" in " + name;
        else if (!strings.emplace(name, value).second)
            error = "line " + std::to_string(number) + ": " + name + " given twice";
        if (!error.empty()) return false;
    }
    return true;
}

// The length of the NAME (capitals, digits, _) of a placeholder @NAME@ at `at`; 0
// when none starts there.
std::size_t PlaceholderAt(const std::string& layout, std::size_t at) {
    std::size_t end = at + 1;
    while (end < layout.size() &&
           (std::isupper(static_cast<unsigned char>(layout[end])) ||
            std::isdigit(static_cast<unsigned char>(layout[end])) || layout[end] == '_'))
        ++end;
    return end < layout.size() && layout[end] == '@' ? end - at - 1 : 0;
}

bool Fill(const std::string& layout, const std::map<std::string, std::string>& strings,
          std::string& movie, std::string& error) {
    std::set<std::string> used;
    for (std::size_t at = 0; at < layout.size();) {
        const std::size_t open = layout.find('@', at);
        if (open == std::string::npos) {
            movie += layout.substr(at);
            break;
        }
        const std::size_t length = PlaceholderAt(layout, open);
        if (length == 0) {
            movie += layout.substr(at, open + 1 - at);
            at = open + 1;
            continue;
        }
        const std::size_t close = open + length + 1;
        const std::string name = layout.substr(open + 1, length);
        const auto found = strings.find(name);
        if (found == strings.end()) {
            error = "no text for @" + name + "@";
            return false;
        }
        movie += layout.substr(at, open - at) + found->second;
        used.insert(name);
        at = close + 1;
    }
    for (const auto& [name, value] : strings) {
        if (!used.count(name)) {
            error = name + " is not used by the layout";
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: moviegen LAYOUT STRINGS OUT\n";
        return 2;
    }
    const auto layout = ReadFile(argv[1]);
    const auto text = ReadFile(argv[2]);
    if (!layout || !text) {
        std::cerr << "moviegen: cannot read " << (layout ? argv[2] : argv[1]) << "\n";
        return 1;
    }
    std::map<std::string, std::string> strings;
    std::string movie, error;
    if (!ReadStrings(*text, strings, error) || !Fill(*layout, strings, movie, error)) {
        std::cerr << argv[2] << ": " << error << "\n";
        return 1;
    }
    const std::filesystem::path out(argv[3]);
    if (!player::ParseMovie(movie, out.parent_path().string(), &error)) {
        std::cerr << out.string() << ": " << error << "\n";
        return 1;
    }
    std::filesystem::create_directories(out.parent_path());
    const std::filesystem::path temp = out.string() + ".tmp";
    std::ofstream(temp, std::ios::binary) << movie;
    std::filesystem::rename(temp, out);
    return 0;
}
