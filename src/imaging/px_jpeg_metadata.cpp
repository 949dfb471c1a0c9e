// What a JPEG says about its pixels beside them: the EXIF orientation in APP1 and
// the ICC profile in APP2, kept only when the load options ask for them.
#include <cstdlib>
#include <cstring>

#include "px_exif.h"
#include "px_jpeg_codec.h"
#include "px_jpeg_read_state.h"

namespace {

constexpr BYTE kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};
// A marker holds at most this much; an EXIF block must fit in one.
constexpr unsigned kMarkerMax = 0xFFFF;

PxPixelLayout LayoutOf(const jpeg_decompress_struct& cinfo, bool& known) {
    known = true;
    switch (cinfo.out_color_space) {
        case JCS_GRAYSCALE:
            return PxPixelLayout::Gray8;
        case JCS_RGB:
            return PxPixelLayout::Rgb8;
        case JCS_CMYK:
            // Adobe's CMYK files store 255 for no ink.
            return cinfo.saw_Adobe_marker ? PxPixelLayout::CmykInverted8 : PxPixelLayout::Cmyk8;
        default:
            known = false;
            return PxPixelLayout::Rgb8;
    }
}

}  // namespace

void PxJpegCodec::SaveMarkers(PxJpegReadState& s) const {
    if (LoadOptions().upright) jpeg_save_markers(&s.cinfo, JPEG_APP0 + 1, kMarkerMax);
    if (LoadOptions().toSrgb) jpeg_save_markers(&s.cinfo, JPEG_APP0 + 2, kMarkerMax);
}

// The first APP1 that holds EXIF decides; XMP and others share the marker code.
void PxJpegCodec::ReadOrientation(const PxJpegReadState& s) {
    for (jpeg_saved_marker_ptr m = s.cinfo.marker_list; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1 || !m->data || m->data_length < sizeof kExifHeader ||
            std::memcmp(m->data, kExifHeader, sizeof kExifHeader) != 0)
            continue;
        SetOrientation(PxExifOrientation(m->data, m->data_length));
        return;
    }
}

// libjpeg puts the profile's APP2 chunks back together; a missing or damaged
// chunk gives no profile, and the pixels are taken as sRGB.
void PxJpegCodec::ReadProfile(PxJpegReadState& s) const {
    bool known = false;
    const PxPixelLayout layout = LayoutOf(s.cinfo, known);
    JOCTET* profile = nullptr;
    unsigned int size = 0;
    if (!known || s.cinfo.quantize_colors || !jpeg_read_icc_profile(&s.cinfo, &profile, &size))
        return;
    *s.colour = PxColorToSrgb(profile, size, layout);
    std::free(profile);
}

// A grey picture keeps its 8 bits: the profile reshapes the ramp it indexes.
void PxJpegCodec::ConvertGrayPalette(const PxColorToSrgb& colour) {
    const RGBQUAD* palette = GetPalette();
    const DWORD n = GetNumColors();
    if (!palette || n == 0 || n > 256) return;
    BYTE grey[256];
    BYTE bgr[256 * 3];
    for (DWORD i = 0; i < n; ++i)
        grey[i] = palette[i].rgbRed;
    colour.ConvertRow(grey, bgr, n);
    for (DWORD i = 0; i < n; ++i)
        SetPaletteIndex(static_cast<BYTE>(i), bgr[3 * i + 2], bgr[3 * i + 1], bgr[3 * i]);
}
