// Pages the other paths do not take (separate planes, YCbCr, CIE L*a*b*, odd
// depths) go through the library's RGBA reader, a band of rows at a time.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "px_tiff_codec.h"

namespace {

struct RgbaEnd {
    void operator()(TIFFRGBAImage* image) const { TIFFRGBAImageEnd(image); }
};

// The rows the reader decodes together: a strip or a row of tiles.
std::uint32_t BandRows(TIFF* tif, std::uint32_t height) {
    std::uint32_t rows = 0;
    if (TIFFIsTiled(tif)) {
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &rows);
    } else {
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rows);
    }
    return std::clamp<std::uint32_t>(rows, 1, height);
}

BYTE Unpremultiplied(std::uint32_t value, std::uint32_t level) {
    if (level == 0) return 0;
    return static_cast<BYTE>(std::min<std::uint32_t>(255, (value * 255 + level / 2) / level));
}

}  // namespace

bool PxTiffCodec::ReadThroughRgba(TIFF* tif, const PxTiffLayout& layout) {
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tif, message)) return Fail(message);
    TIFFRGBAImage image;
    if (!TIFFRGBAImageBegin(&image, tif, 0, message)) return Fail(message);
    const std::unique_ptr<TIFFRGBAImage, RgbaEnd> end(&image);
    // The reader flips rows and columns towards the orientation asked for; asking
    // for the stored one keeps them as stored.
    image.req_orientation = image.orientation;
    if (!Create(layout.width, layout.height, 24, PX_FORMAT_TIFF))
        return Fail("Can't allocate memory");
    const bool withAlpha = image.alpha != 0;
    if (withAlpha && !AlphaCreate()) return Fail("Can't allocate memory");
    const std::uint32_t band = BandRows(tif, layout.height);
    std::vector<std::uint32_t> raster(std::size_t{layout.width} * band);
    for (std::uint32_t top = 0; top < layout.height; top += band) {
        if (info.escape) return Fail("Cancelled");
        const std::uint32_t rows = std::min(band, layout.height - top);
        image.row_offset = static_cast<int>(top);
        image.col_offset = 0;
        if (!TIFFRGBAImageGet(&image, raster.data(), layout.width, rows))
            return Fail("TIFF rows can't be read");
        for (std::uint32_t r = 0; r < rows; ++r) {
            const auto y = static_cast<LONG>(layout.height - 1 - top - r);
            const std::uint32_t* in = raster.data() + std::size_t{r} * layout.width;
            BYTE* out = RowAt(y);
            for (std::uint32_t x = 0; x < layout.width; ++x, out += 3) {
                const std::uint32_t a = withAlpha ? TIFFGetA(in[x]) : 255;
                // The reader premultiplies every kind of alpha.
                out[0] = Unpremultiplied(TIFFGetB(in[x]), a);
                out[1] = Unpremultiplied(TIFFGetG(in[x]), a);
                out[2] = Unpremultiplied(TIFFGetR(in[x]), a);
                if (withAlpha) AlphaSet(static_cast<LONG>(x), y, static_cast<BYTE>(a));
            }
        }
    }
    return true;
}
