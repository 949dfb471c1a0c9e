// The PNG files of the desktop's thumbnail cache, through libpng: what a file
// says about itself (size and Thumb:: keys), and writing one with its keys.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

struct ThumbnailPngFacts {
    unsigned width = 0;
    unsigned height = 0;
    std::string uri;    // Thumb::URI
    std::string mtime;  // Thumb::MTime
    std::string size;   // Thumb::Size; empty when absent
};

// An RGBA picture, rows top first, four bytes a pixel.
struct RgbaPicture {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<unsigned char> pixels;
};

// The header and the text chunks before the pixels; false for anything that is
// not a PNG, or is damaged there. Keys and their texts are capped.
bool ReadThumbnailPngFacts(const std::vector<unsigned char>& bytes, ThumbnailPngFacts& facts);

// Writes the picture as an 8-bit RGBA PNG with the given text chunks (key, text).
bool WriteThumbnailPng(std::FILE* file, const RgbaPicture& picture,
                       const std::vector<std::pair<std::string, std::string>>& texts);
