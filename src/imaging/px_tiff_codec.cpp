// TIFF reading: the first directory's tags pick a path; every path leaves the
// rows as stored (top row first in the file, bottom-up in the image) and only
// reports the orientation.
#include "px_tiff_codec.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "px_tiff_stream.h"

namespace {

// Resolutions past this are damage, not dots per inch.
constexpr float kMaxDpi = 1e6f;

LONG DpiOf(float value, std::uint16_t unit) {
    if (unit == RESUNIT_CENTIMETER) value *= 2.54f;
    if (!std::isfinite(value) || value < 0 || value > kMaxDpi) return 0;
    return static_cast<LONG>(value);
}

}  // namespace

bool PxTiffCodec::Decode(PxFile* stream) {
    if (!stream) return Fail("Read Error");
    PxTiffMessages messages;
    const PxTiffHandle tif = PxTiffOpen(stream, messages);
    if (!tif) return Fail(messages.error.c_str());
    if (ReadPicture(tif.get())) return true;
    // The library's own words, when it had any, say more than ours.
    if (!messages.error.empty()) SetLastErrorText(messages.error.c_str());
    return false;
}

bool PxTiffCodec::Fail(const char* text) {
    SetLastErrorText(text);
    return false;
}

bool PxTiffCodec::ReadPicture(TIFF* tif) {
    const PxTiffLayout layout = PxTiffReadLayout(tif);
    if (layout.width == 0 || layout.height == 0) return Fail("TIFF image has no pixels");
    if (std::uint64_t{layout.width} * layout.height > kPxMaxPixels)
        return Fail("TIFF image is too large");
    bool ok = false;
    switch (layout.path) {
        case PxTiffPath::Indexed:
            ok = ReadIndexed(tif, layout);
            break;
        case PxTiffPath::Samples:
            ok = ReadSamples(tif, layout);
            break;
        case PxTiffPath::Rgba:
            ok = ReadThroughRgba(tif, layout);
            break;
    }
    if (!ok) return false;
    ReadOrientation(tif);
    ReadResolution(tif);
    return true;
}

void PxTiffCodec::ReadOrientation(TIFF* tif) {
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    if (orientation >= 1 && orientation <= 8) SetOrientation(orientation);
}

// Dots per centimetre become dots per inch; other units are taken as they stand.
void PxTiffCodec::ReadResolution(TIFF* tif) {
    float x = 0;
    float y = 0;
    std::uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x)) SetXDPI(DpiOf(x, unit));
    if (TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y)) SetYDPI(DpiOf(y, unit));
}
