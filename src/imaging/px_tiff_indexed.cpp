// Palette and grey pages of 1, 2, 4 or 8 bits a pixel become palette images of
// 1, 4 or 8 bits; the rows are copied as they are.
#include <algorithm>
#include <cstring>
#include <vector>

#include "px_tiff_codec.h"
#include "px_tiff_rows.h"
#include "px_two_bit_rows.h"

namespace {

// Old writers stored the colour map in 8 bits; any value above 255 shows 16.
bool ColormapIs16Bit(const std::uint16_t* r, const std::uint16_t* g, const std::uint16_t* b,
                     unsigned count) {
    for (unsigned i = 0; i < count; ++i)
        if (r[i] > 255 || g[i] > 255 || b[i] > 255) return true;
    return false;
}

}  // namespace

bool PxTiffCodec::ReadIndexed(TIFF* tif, const PxTiffLayout& layout) {
    PxTiffRows rows(tif);
    const std::size_t needed = (std::size_t{layout.width} * layout.bits + 7) / 8;
    if (!rows.Start() || rows.RowBytes() < needed) return Fail("TIFF rows can't be read");
    const LONG bpp = layout.bits == 1 ? 1 : layout.bits <= 4 ? 4 : 8;
    if (!Create(layout.width, layout.height, bpp, PX_FORMAT_TIFF))
        return Fail("Can't allocate memory");
    ReadColormap(tif, layout);
    // The 2-bit row widens to nibbles in a row of its own before it is copied.
    std::vector<BYTE> wide(layout.bits == 2 ? std::max<std::size_t>(needed * 2, 1) : 0);
    for (LONG y = static_cast<LONG>(layout.height) - 1; y >= 0; --y) {
        if (info.escape) return Fail("Cancelled");
        const std::uint8_t* in = rows.Next();
        if (!in) return Fail("TIFF rows can't be read");
        const std::size_t copied = std::min<std::size_t>(needed, GetEffWidth());
        if (layout.bits != 2) {
            std::memcpy(RowAt(y), in, copied);
            continue;
        }
        std::memcpy(wide.data(), in, needed);
        PxWidenTwoBitRow(wide.data(), layout.width);
        std::memcpy(RowAt(y), wide.data(), std::min<std::size_t>(wide.size(), GetEffWidth()));
    }
    return true;
}

void PxTiffCodec::ReadColormap(TIFF* tif, const PxTiffLayout& layout) {
    const unsigned count = 1u << layout.bits;
    std::uint16_t* red = nullptr;
    std::uint16_t* green = nullptr;
    std::uint16_t* blue = nullptr;
    if (layout.photometric == PHOTOMETRIC_PALETTE &&
        TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue)) {
        // The library keeps 1 << bits entries of each.
        const int shift = ColormapIs16Bit(red, green, blue, count) ? 8 : 0;
        for (unsigned i = 0; i < count && i < GetNumColors(); ++i)
            SetPaletteIndex(static_cast<BYTE>(i), static_cast<BYTE>(red[i] >> shift),
                            static_cast<BYTE>(green[i] >> shift),
                            static_cast<BYTE>(blue[i] >> shift));
        return;
    }
    const bool inverted = layout.photometric == PHOTOMETRIC_MINISWHITE;
    for (unsigned i = 0; i < count && i < GetNumColors(); ++i) {
        const auto level = static_cast<BYTE>(i * 255 / (count - 1));
        const BYTE shown = inverted ? static_cast<BYTE>(255 - level) : level;
        SetPaletteIndex(static_cast<BYTE>(i), shown, shown, shown);
    }
}
