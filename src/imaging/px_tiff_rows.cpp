// Strips are read a scanline at a time; tiles a row of tiles at a time, so a
// tile is decoded once.
#include "px_tiff_rows.h"

#include <algorithm>
#include <cstring>

#include "px_tiff_stream.h"

namespace {

constexpr std::uint64_t kMaxBuffer = static_cast<std::uint64_t>(kPxTiffMaxLibraryAlloc);

}  // namespace

bool PxTiffRows::Start() {
    TIFFGetField(tif_, TIFFTAG_IMAGEWIDTH, &width_);
    TIFFGetField(tif_, TIFFTAG_IMAGELENGTH, &height_);
    const std::uint64_t rowBytes = TIFFScanlineSize64(tif_);
    if (rowBytes == 0 || rowBytes > kMaxBuffer) return false;
    rowBytes_ = static_cast<std::size_t>(rowBytes);
    tiled_ = TIFFIsTiled(tif_);
    if (tiled_) return StartTiles();
    band_.resize(rowBytes_);
    return true;
}

bool PxTiffRows::StartTiles() {
    std::uint16_t bits = 1;
    std::uint16_t samples = 1;
    TIFFGetFieldDefaulted(tif_, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif_, TIFFTAG_SAMPLESPERPIXEL, &samples);
    bitsPerPixel_ = std::uint32_t{bits} * samples;
    if (!TIFFGetField(tif_, TIFFTAG_TILEWIDTH, &tileWidth_) ||
        !TIFFGetField(tif_, TIFFTAG_TILELENGTH, &tileHeight_) || tileWidth_ == 0 ||
        tileHeight_ == 0)
        return false;
    // Tiles start on whole bytes of the row.
    if (std::uint64_t{tileWidth_} * bitsPerPixel_ % 8 != 0) return false;
    const std::uint64_t tileBytes = TIFFTileSize64(tif_);
    tileRowBytes_ = static_cast<std::size_t>(TIFFTileRowSize64(tif_));
    const std::uint64_t bandBytes = std::uint64_t{rowBytes_} * tileHeight_;
    if (tileBytes == 0 || tileBytes > kMaxBuffer || bandBytes > kMaxBuffer ||
        std::uint64_t{tileRowBytes_} * tileHeight_ > tileBytes)
        return false;
    tile_.resize(static_cast<std::size_t>(tileBytes));
    band_.resize(static_cast<std::size_t>(bandBytes));
    return true;
}

const std::uint8_t* PxTiffRows::Next() {
    if (row_ >= height_) return nullptr;
    const std::uint32_t row = row_++;
    if (!tiled_) return TIFFReadScanline(tif_, band_.data(), row, 0) < 0 ? nullptr : band_.data();
    if (row == 0 || row - bandStart_ >= tileHeight_) {
        bandStart_ = row;
        if (!ReadBand()) return nullptr;
    }
    return band_.data() + std::size_t{row - bandStart_} * rowBytes_;
}

// The tiles across at bandStart_, their rows laid side by side; the right and
// bottom edges of the last tiles are cut off.
bool PxTiffRows::ReadBand() {
    const std::uint32_t rows = std::min(tileHeight_, height_ - bandStart_);
    for (std::uint32_t x = 0; x < width_; x += tileWidth_) {
        if (TIFFReadTile(tif_, tile_.data(), x, bandStart_, 0, 0) < 0) return false;
        const std::size_t offset = static_cast<std::size_t>(std::uint64_t{x} * bitsPerPixel_ / 8);
        if (offset >= rowBytes_) break;
        const std::size_t bytes = std::min(tileRowBytes_, rowBytes_ - offset);
        for (std::uint32_t r = 0; r < rows; ++r)
            std::memcpy(band_.data() + std::size_t{r} * rowBytes_ + offset,
                        tile_.data() + std::size_t{r} * tileRowBytes_, bytes);
    }
    return true;
}
