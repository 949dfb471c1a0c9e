// Reading a movie file. Anything the format does not describe is refused with
// "line N: message"; a refused movie shows nothing.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "movie.h"

namespace player {

// The movie in `text`; pictures are read relative to `folder` (the current
// folder when empty). Null with the message in `error` when the text is refused.
std::shared_ptr<const Movie> ParseMovie(std::string_view text, const std::string& folder,
                                        std::string* error);

}  // namespace player
