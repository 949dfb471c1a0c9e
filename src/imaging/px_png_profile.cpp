// PNG colours through the iCCP profile into sRGB. Palette and grey pictures keep
// their indices and convert their palette; 8-bit colour rows convert in place once
// all passes are in; 16-bit samples convert from their full depth. Files without
// a profile (sRGB, gAMA or cHRM alone) are read as before.
#include <bit>
#include <cstdlib>

#include "px_png_codec.h"
#include "px_png_read_state.h"

namespace {

bool IsGrey(int colorType) {
    return (colorType & PNG_COLOR_MASK_COLOR) == 0;
}

// The samples the library hands over: what CreateFromHeader's transformations
// leave of each colour type. A 16-bit RGBA file is composited, so no alpha stays.
PxPixelLayout LayoutFor(int colorType, int depth) {
    if (colorType == PNG_COLOR_TYPE_PALETTE) return PxPixelLayout::Rgb8;
    if (depth == 16) {
        if (colorType == PNG_COLOR_TYPE_GRAY) return PxPixelLayout::Gray16;
        if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA) return PxPixelLayout::GrayA16;
        return PxPixelLayout::Rgb16;
    }
    return IsGrey(colorType) ? PxPixelLayout::Gray8 : PxPixelLayout::Bgr8;
}

int ChannelsFor(int colorType) {
    if (colorType == PNG_COLOR_TYPE_GRAY) return 1;
    return colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2 : 3;
}

}  // namespace

void PxPngCodec::ReadProfile(PxPngReadState& s) const {
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 size = 0;
    if (!png_get_iCCP(s.png, s.info, &name, &compression, &profile, &size) || !profile) return;
    const int colorType = png_get_color_type(s.png, s.info);
    const int depth = png_get_bit_depth(s.png, s.info);
    *s.colour = PxColorToSrgb(profile, size, LayoutFor(colorType, depth));
    s.fullDepth = *s.colour && depth == 16;
}

// The rows stay 16-bit, in the machine's byte order and the file's channel order.
void PxPngCodec::SetupFullDepth(PxPngReadState& s) {
    if constexpr (std::endian::native == std::endian::little) png_set_swap(s.png);
}

// The library's rows must be the layout the profile was opened for; an
// interlaced file gets room for its whole 16-bit picture.
bool PxPngCodec::CheckFullDepthRows(PxPngReadState& s, int passes) {
    const int colorType = png_get_color_type(s.png, s.info);
    if (png_get_channels(s.png, s.info) != ChannelsFor(colorType) ||
        png_get_bit_depth(s.png, s.info) != 16)
        return PxPngFail(s.failure, "PNG rows do not match the colour profile");
    if (passes == 1) return true;
    s.deep = static_cast<BYTE*>(std::calloc(GetHeight(), s.rowSize));
    return s.deep || PxPngFail(s.failure, "Can't allocate memory");
}

void PxPngCodec::ConvertPalette(const PxPngReadState& s) {
    RGBQUAD* palette = GetPalette();
    const DWORD n = GetNumColors();
    if (!palette || n == 0 || n > 256) return;
    const bool grey = IsGrey(png_get_color_type(s.png, s.info));
    BYTE in[256 * 3];
    BYTE bgr[256 * 3];
    for (DWORD i = 0; i < n; ++i) {
        if (grey) {
            in[i] = palette[i].rgbRed;
        } else {
            in[3 * i] = palette[i].rgbRed;
            in[3 * i + 1] = palette[i].rgbGreen;
            in[3 * i + 2] = palette[i].rgbBlue;
        }
    }
    s.colour->ConvertRow(in, bgr, n);
    // The alpha of each entry stays as it is.
    for (DWORD i = 0; i < n; ++i) {
        palette[i].rgbBlue = bgr[3 * i];
        palette[i].rgbGreen = bgr[3 * i + 1];
        palette[i].rgbRed = bgr[3 * i + 2];
    }
}

void PxPngCodec::ConvertPixels(const PxPngReadState& s) {
    if (GetBpp() != 24) return;
    for (LONG y = 0; y < static_cast<LONG>(GetHeight()); ++y)
        s.colour->ConvertRow(RowAt(y), RowAt(y), GetWidth());
}

// One row of 16-bit samples into the picture; grey with alpha keeps the alpha's
// high byte, as the 8-bit reading does, and a composited RGBA file is opaque.
void PxPngCodec::StoreDeepRow(const PxPngReadState& s, const BYTE* row, LONG y) {
    s.colour->ConvertRow(row, RowAt(y), GetWidth());
    if (!s.withAlpha) return;
    BYTE* opacity = alpha + static_cast<std::size_t>(y) * GetWidth();
    const bool greyAlpha = png_get_channels(s.png, s.info) == 2;
    const auto* samples = reinterpret_cast<const png_uint_16*>(row);
    for (DWORD x = 0; x < GetWidth(); ++x)
        opacity[x] = greyAlpha ? static_cast<BYTE>(samples[2 * x + 1] >> 8) : BYTE{255};
}

void PxPngCodec::ReadDeepRow(PxPngReadState& s, LONG j, bool lastPass) {
    BYTE* row = s.deep ? s.deep + static_cast<std::size_t>(j) * s.rowSize : s.row;
    png_read_row(s.png, row, nullptr);
    if (lastPass) StoreDeepRow(s, row, static_cast<LONG>(GetHeight()) - 1 - j);
}
