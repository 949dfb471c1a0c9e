#include "movie_image.h"

#include <cstdio>
#include <memory>

#include "imaging/px_image.h"
#include "movie.h"

namespace player {
namespace {

std::uint32_t BigEndian32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

// The width and height of the PNG's header; false when the file does not start
// like a PNG.
bool ReadPngSize(const std::string& path, std::uint32_t& width, std::uint32_t& height) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) return false;
    unsigned char head[24];
    if (std::fread(head, 1, sizeof head, file.get()) != sizeof head) return false;
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (int i = 0; i < 8; ++i)
        if (head[i] != kSignature[i]) return false;
    if (head[12] != 'I' || head[13] != 'H' || head[14] != 'D' || head[15] != 'R') return false;
    width = BigEndian32(head + 16);
    height = BigEndian32(head + 20);
    return true;
}

}  // namespace

bool IsSafeImagePath(const std::string& path) {
    if (path.empty() || path[0] == '/' || path.find('\0') != std::string::npos) return false;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (path.compare(start, end - start, "..") == 0) return false;
        start = end + 1;
    }
    return true;
}

std::shared_ptr<const PxImage> LoadMovieImage(const std::string& folder,
                                              const std::string& relative, std::string& error) {
    if (!IsSafeImagePath(relative)) {
        error = "an image path must be relative and may not contain '..'";
        return nullptr;
    }
    const std::string path = folder.empty() ? relative : folder + "/" + relative;
    std::uint32_t width = 0, height = 0;
    if (!ReadPngSize(path, width, height)) {
        error = "cannot read the PNG picture \"" + relative + "\"";
        return nullptr;
    }
    if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide) {
        error = "the picture \"" + relative + "\" is larger than 1024 x 1024";
        return nullptr;
    }
    auto image = std::make_shared<PxImage>();
    if (!image->Load(path.c_str(), PX_FORMAT_PNG, true) || !image->IsValid()) {
        error = "cannot decode the PNG picture \"" + relative + "\"";
        return nullptr;
    }
    return image;
}

}  // namespace player
