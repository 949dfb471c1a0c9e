// 8 and 16-bit grey, RGB and CMYK pages, interleaved, become 24-bit rows with an
// alpha plane when a sample holds alpha; an ICC profile converts them when asked.
#include <cstdint>
#include <vector>

#include "px_tiff_codec.h"
#include "px_tiff_rows.h"
#include "px_tiff_samples.h"

namespace {

// The embedded profile, or none.
void ProfileOf(TIFF* tif, const BYTE*& profile, std::size_t& size) {
    std::uint32_t count = 0;
    void* data = nullptr;
    profile = nullptr;
    size = 0;
    if (TIFFGetField(tif, TIFFTAG_ICCPROFILE, &count, &data) && data && count > 0) {
        profile = static_cast<const BYTE*>(data);
        size = count;
    }
}

}  // namespace

bool PxTiffCodec::ReadSamples(TIFF* tif, const PxTiffLayout& layout) {
    const BYTE* profile = nullptr;
    std::size_t profileSize = 0;
    if (LoadOptions().toSrgb) ProfileOf(tif, profile, profileSize);
    PxTiffSampleRow convert(layout, profile, profileSize);
    PxTiffRows rows(tif);
    if (!rows.Start() || rows.RowBytes() < convert.InputBytes())
        return Fail("TIFF rows can't be read");
    if (!Create(layout.width, layout.height, 24, PX_FORMAT_TIFF))
        return Fail("Can't allocate memory");
    const bool withAlpha = layout.alphaSample >= 0;
    if (withAlpha && !AlphaCreate()) return Fail("Can't allocate memory");
    std::vector<BYTE> levels(withAlpha ? layout.width : 0);
    for (LONG y = static_cast<LONG>(layout.height) - 1; y >= 0; --y) {
        if (info.escape) return Fail("Cancelled");
        const std::uint8_t* in = rows.Next();
        if (!in) return Fail("TIFF rows can't be read");
        convert.Convert(in, RowAt(y), withAlpha ? levels.data() : nullptr);
        for (std::size_t x = 0; x < levels.size(); ++x)
            AlphaSet(static_cast<LONG>(x), y, levels[x]);
    }
    return true;
}
