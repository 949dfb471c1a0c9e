// A 24 bpp picture as GIF: a mosaic of 8-bit tiles of at most 17 x 15 pixels, each
// with its own 256-colour table holding the tile's colours one per pixel.
#include <algorithm>

#include "px_gif_codec.h"

namespace {

constexpr LONG kTileWidth = 17;
constexpr LONG kTileHeight = 15;

}  // namespace

bool PxGifCodec::WriteTiled(PxFile* stream) {
    if (!WriteHeader(stream, *this, false)) return false;
    const LONG width = static_cast<LONG>(GetWidth()), height = static_cast<LONG>(GetHeight());
    for (LONG top = 0; top < height; top += kTileHeight) {
        for (LONG left = 0; left < width; left += kTileWidth) {
            PxImage tile;
            if (!MakeTile(tile, left, top)) return false;
            if (!WriteGraphicControl(stream, tile) || !WriteImage(stream, tile, true)) return false;
        }
    }
    if (!WriteComment(stream)) return false;
    return stream->PutC(';') || Fail("Error writing GIF");
}

// Entry 0 is the transparent colour of a transparent picture; pixel (j, i), i
// counted from the tile's bottom, owns entry 1 + 17 i + j.
bool PxGifCodec::MakeTile(PxImage& tile, LONG left, LONG top) {
    const LONG height = static_cast<LONG>(GetHeight());
    const LONG tileWidth = std::min(kTileWidth, static_cast<LONG>(GetWidth()) - left);
    const LONG tileHeight = std::min(kTileHeight, height - top);
    if (!tile.Create(static_cast<DWORD>(tileWidth), static_cast<DWORD>(tileHeight), 8,
                     PX_FORMAT_GIF))
        return Fail("Can't allocate memory for a GIF tile");
    tile.Clear(0);
    tile.SetOffset(left, top);
    if (info.transIndex >= 0) {
        tile.SetPaletteIndex(0, GetTransColor());
        tile.SetTransIndex(0);
    }
    for (LONG i = 0; i < tileHeight; ++i) {
        const LONG sourceRow = height - 1 - (top + tileHeight - 1 - i);
        for (LONG j = 0; j < tileWidth; ++j) {
            const auto entry = static_cast<BYTE>(1 + kTileWidth * i + j);
            tile.SetPaletteIndex(entry, GetPixelColor(left + j, sourceRow));
            tile.SetPixelIndex(j, i, tile.GetNearestIndex(tile.GetPaletteColor(entry)));
        }
    }
    return true;
}
