// The stored rows of a TIFF page, top first, as interleaved samples, whether the
// page is cut into strips or tiles.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <vector>

class PxTiffRows {
public:
    explicit PxTiffRows(TIFF* tif) : tif_(tif) {}

    // Sizes the buffers; false when a row, tile or band of tiles would pass the cap.
    bool Start();
    // The next row, or nullptr when the library cannot read it (its message says why).
    const std::uint8_t* Next();
    std::size_t RowBytes() const { return rowBytes_; }

private:
    bool StartTiles();
    bool ReadBand();

    TIFF* tif_;
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::uint32_t row_ = 0;
    std::size_t rowBytes_ = 0;
    bool tiled_ = false;
    std::uint32_t tileWidth_ = 0;
    std::uint32_t tileHeight_ = 0;
    std::size_t tileRowBytes_ = 0;
    std::uint32_t bitsPerPixel_ = 0;
    std::uint32_t bandStart_ = 0;
    std::vector<std::uint8_t> band_;  // one row, or a row of tiles
    std::vector<std::uint8_t> tile_;
};
