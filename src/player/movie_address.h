// The address a movie is loaded from: a "file://" URL or a plain path, with an
// optional query whose pairs become variables.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace player {

struct MovieAddress {
    std::string path;
    std::vector<std::pair<std::string, std::string>> query;  // in order, decoded
};

// "file:///abs/path/EN/Pennon.swf?frm=3" (the path %XX-decoded, "file://localhost/"
// also taken) or "/abs/path/EN/Pennon.swf?frm=3". False with a message for
// another scheme or host, or an empty path.
bool ParseMovieAddress(std::string_view url, MovieAddress& out, std::string& error);

// %XX sequences decoded (malformed ones kept as they are); '+' becomes a space
// when `plusIsSpace`.
std::string PercentDecode(std::string_view text, bool plusIsSpace);

}  // namespace player
