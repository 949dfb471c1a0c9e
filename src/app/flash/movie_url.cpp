#include "movie_url.h"

#include <unistd.h>

#include <climits>
#include <cstdio>

#include "app/texts/wizard_texts.h"

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string EscapeForUrl(const std::string& path) {
    std::string escaped;
    for (char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
            escaped += hex;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

// The running executable, quoted as a launcher would pass it. Built by appending:
// GCC 12 misreads "..." + string here as an overlapping copy at -O3 (-Wrestrict).
std::string ProcessCommandLine() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "";
    std::string quoted(1, '"');
    quoted.append(path, static_cast<std::size_t>(length));
    quoted += '"';
    return quoted;
}

}  // namespace

std::string ExecutablePathFromCommandLine(std::string_view commandLine) {
    if (!commandLine.empty() && commandLine.front() == '"') {
        commandLine.remove_prefix(1);
        return std::string(commandLine.substr(0, commandLine.find('"')));
    }
    return std::string(commandLine.substr(0, commandLine.find(' ')));
}

std::string MovieUrlFromCommandLine(std::string_view commandLine, std::string_view language,
                                    std::string_view movie) {
    const std::string folder = FolderOf(ExecutablePathFromCommandLine(commandLine));
    return "file://" + EscapeForUrl(folder) + std::string(language) + "/" + std::string(movie);
}

std::string MakeMovieUrl(std::string_view movie) {
    return MovieUrlFromCommandLine(ProcessCommandLine(), g_languageCode, movie);
}
