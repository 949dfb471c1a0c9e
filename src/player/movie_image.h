// The PNG pictures a movie names, read relative to the movie's folder.
#pragma once

#include <memory>
#include <string>

class PxImage;

namespace player {

// True when `path` may name a movie picture: relative, with no ".." part.
bool IsSafeImagePath(const std::string& path);

// Reads folder/relative as a PNG of at most 1024 x 1024 pixels. The size is
// checked from the file's header before anything is decoded.
std::shared_ptr<const PxImage> LoadMovieImage(const std::string& folder,
                                              const std::string& relative, std::string& error);

}  // namespace player
