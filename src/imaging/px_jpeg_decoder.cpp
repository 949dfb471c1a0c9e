// JPEG reading: libjpeg decodes with its default output (grey, RGB or CMYK);
// the scanlines land bottom-up as 8-bit grey or 24-bit blue, green, red, through
// the embedded profile when sRGB is asked for.
#include <algorithm>
#include <cstring>

#include "px_jpeg_codec.h"
#include "px_jpeg_read_state.h"

namespace {

constexpr const char* kCancelled = "Cancelled";
// Working memory of the library (the coefficients of a progressive file are kept
// whole); past it the library fails instead of growing.
constexpr long kMaxLibraryMemory = 1L << 30;

}  // namespace

unsigned PxJpegReductionFor(DWORD width, DWORD height, DWORD side) {
    if (side == 0) return 1;
    const DWORD longer = std::max(width, height);
    // The library rounds a scaled side up.
    for (unsigned denom = 8; denom > 1; denom /= 2)
        if ((longer + denom - 1) / denom >= side) return denom;
    return 1;
}

bool PxJpegCodec::Decode(PxFile* stream) {
    if (!stream) return false;
    if (LoadOptions().embeddedThumbnailSide > 0 && DecodeEmbeddedThumbnail(stream)) return true;
    PxColorToSrgb colour;
    PxJpegReadState s{};
    s.colour = &colour;
    const bool ok = DecodeGuarded(s, stream);
    jpeg_destroy_decompress(&s.cinfo);
    if (!ok) SetLastErrorText(s.error.message);
    return ok;
}

// The recovery point: a library error comes back here with its message set.
bool PxJpegCodec::DecodeGuarded(PxJpegReadState& s, PxFile* stream) {
    s.cinfo.err = PxJpegErrorHook(s.error);
    if (setjmp(s.error.recovery)) return false;
    jpeg_create_decompress(&s.cinfo);
    s.cinfo.mem->max_memory_to_use = kMaxLibraryMemory;
    PxJpegReadFrom(&s.cinfo, s.source, stream);
    PxJpegLimitScans(&s.cinfo, s.progress);
    SaveMarkers(s);
    return ReadPicture(s);
}

bool PxJpegCodec::ReadPicture(PxJpegReadState& s) {
    jpeg_decompress_struct& cinfo = s.cinfo;
    jpeg_read_header(&cinfo, TRUE);
    if (std::uint64_t{cinfo.image_width} * cinfo.image_height > kPxMaxPixels)
        return PxJpegFail(s.error, "JPEG image is too large");
    if (LoadOptions().upright) ReadOrientation(s);
    if (LoadOptions().toSrgb) ReadProfile(s);
    cinfo.scale_num = 1;
    cinfo.scale_denom =
        PxJpegReductionFor(cinfo.image_width, cinfo.image_height, minimumLongerSide_);
    if (cinfo.scale_denom > 1) {
        // A small picture shows nothing of the exact transform and the smooth
        // chroma upsampling; the fast ones save a good part of the work.
        cinfo.dct_method = JDCT_IFAST;
        cinfo.do_fancy_upsampling = FALSE;
    }
    jpeg_start_decompress(&cinfo);
    if (!Create(cinfo.output_width, cinfo.output_height, 8 * cinfo.output_components,
                PX_FORMAT_JPG))
        return PxJpegFail(s.error, "Can't allocate memory");
    ReadResolution(s);
    ReadPalette(s);
    if (*s.colour && cinfo.output_components == 1) ConvertGrayPalette(*s.colour);
    if (!ReadScanlines(s)) return false;
    jpeg_finish_decompress(&cinfo);
    if (strict_ && cinfo.err->num_warnings > 0) return PxJpegFail(s.error, "Damaged JPEG data");
    // Converted rows are already blue first.
    if (cinfo.output_components == 3 && !*s.colour && !SwapRedBlue())
        return PxJpegFail(s.error, kCancelled);
    return true;
}

// Dots per centimetre become dots per inch; other units are taken as they stand.
void PxJpegCodec::ReadResolution(const PxJpegReadState& s) {
    if (s.cinfo.density_unit == 2) {
        SetXDPI(static_cast<LONG>(s.cinfo.X_density * 2.54));
        SetYDPI(static_cast<LONG>(s.cinfo.Y_density * 2.54));
    } else {
        SetXDPI(s.cinfo.X_density);
        SetYDPI(s.cinfo.Y_density);
    }
}

void PxJpegCodec::ReadPalette(const PxJpegReadState& s) {
    const jpeg_decompress_struct& cinfo = s.cinfo;
    if (cinfo.quantize_colors && cinfo.colormap) {
        const int last = cinfo.out_color_components - 1;
        const DWORD n =
            std::min<DWORD>(static_cast<DWORD>(cinfo.actual_number_of_colors), GetNumColors());
        for (DWORD i = 0; i < n; ++i) {
            SetPaletteIndex(static_cast<BYTE>(i), cinfo.colormap[0][i],
                            cinfo.colormap[std::min(1, last)][i],
                            cinfo.colormap[std::min(2, last)][i]);
        }
    } else if (cinfo.output_components == 1) {
        SetGrayPalette();
    }
}

// Scanlines arrive top first. Colour rows go through the profile when there is
// one; otherwise four-component (CMYK) samples are mixed down to RGB and other
// rows are copied as far as the image row reaches.
bool PxJpegCodec::ReadScanlines(PxJpegReadState& s) {
    jpeg_decompress_struct& cinfo = s.cinfo;
    const JDIMENSION stride = cinfo.output_width * static_cast<JDIMENSION>(cinfo.output_components);
    JSAMPARRAY buffer =
        (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, stride, 1);
    const bool cmyk = cinfo.output_components == 4 && !cinfo.quantize_colors;
    const bool convert = *s.colour && cinfo.output_components > 1;
    while (cinfo.output_scanline < cinfo.output_height) {
        if (info.escape) return PxJpegFail(s.error, kCancelled);
        const LONG y = static_cast<LONG>(GetHeight() - 1 - cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, buffer, 1) != 1) break;
        if (convert)
            s.colour->ConvertRow(buffer[0], RowAt(y), GetWidth());
        else if (cmyk)
            CmykToBgr(buffer[0], RowAt(y));
        else
            std::memcpy(RowAt(y), buffer[0], std::min<DWORD>(stride, info.effWidth));
    }
    return true;
}

void PxJpegCodec::CmykToBgr(const BYTE* cmyk, BYTE* row) const {
    for (DWORD x = 0; x < GetWidth(); ++x, cmyk += 4, row += 3) {
        row[0] = static_cast<BYTE>(cmyk[2] * cmyk[3] / 255);
        row[1] = static_cast<BYTE>(cmyk[1] * cmyk[3] / 255);
        row[2] = static_cast<BYTE>(cmyk[0] * cmyk[3] / 255);
    }
}

// The library gives red first; the image keeps blue first.
bool PxJpegCodec::SwapRedBlue() {
    for (LONG y = 0; y < static_cast<LONG>(GetHeight()); ++y) {
        if (info.escape) return false;
        RGBtoBGR(RowAt(y), static_cast<LONG>(info.effWidth));
    }
    return true;
}
