// Pictures as plain RGB bytes, top row first, for comparing decoders.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "imaging/px_image.h"

struct RgbPicture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

inline RgbPicture ToRgb(const PxImage& image) {
    RgbPicture p{static_cast<int>(image.GetWidth()), static_cast<int>(image.GetHeight()), {}};
    for (int y = p.height - 1; y >= 0; --y) {
        for (int x = 0; x < p.width; ++x) {
            const RGBQUAD c = image.GetPixelColor(x, y);
            p.rgb.insert(p.rgb.end(), {c.rgbRed, c.rgbGreen, c.rgbBlue});
        }
    }
    return p;
}

// The real ImageMagick, not a stand-in earlier on PATH; empty when not installed.
inline std::string ImageMagickConvert() {
    std::FILE* probe = std::fopen("/usr/bin/convert", "rb");
    if (!probe) return {};
    std::fclose(probe);
    return "/usr/bin/convert";
}

// Decodes a file with ImageMagick into 8-bit RGB, after its `operations` (such as
// "-auto-orient"); nothing when it refuses the file.
inline std::optional<RgbPicture> DecodeWithImageMagick(const std::string& file,
                                                       const std::string& operations = "") {
    const std::string command = ImageMagickConvert() + " '" + file + "[0]' " + operations +
                                " -depth 8 -type TrueColor ppm:- 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    RgbPicture p;
    int maxValue = 0;
    const bool header = std::fscanf(pipe, "P6 %d %d %d", &p.width, &p.height, &maxValue) == 3 &&
                        std::fgetc(pipe) != EOF && maxValue == 255;
    if (header) {
        p.rgb.resize(static_cast<std::size_t>(p.width) * p.height * 3);
        if (std::fread(p.rgb.data(), 1, p.rgb.size(), pipe) != p.rgb.size()) p.rgb.clear();
    }
    const int status = pclose(pipe);
    if (!header || status != 0 || p.rgb.empty()) return std::nullopt;
    return p;
}
