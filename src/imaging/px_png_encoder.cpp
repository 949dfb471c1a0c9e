// PNG writing: palette pictures as palette files (the transparent colour moved to
// entry 0), RGB as RGB, and anything with alpha or a transparent colour as RGBA.
#include <cstdlib>
#include <cstring>

#include "px_png_codec.h"
#include "px_png_stream.h"

// Plain data: a library error jumps over every frame that uses it.
struct PxPngWriteState {
    PxPngFailure failure;
    png_structp png;
    png_infop info;
    BYTE* row;
    bool rgba;
    png_color palette[256];
    png_byte paletteAlpha[256];
};

bool PxPngCodec::Encode(PxFile* stream) {
    if (!stream) return false;
    if (!IsValid()) {
        SetLastErrorText("Invalid image");
        return false;
    }
    PxPngWriteState s{};
    const bool ok = EncodeGuarded(s, stream);
    std::free(s.row);
    if (s.png) png_destroy_write_struct(&s.png, s.info ? &s.info : nullptr);
    if (!ok) SetLastErrorText(s.failure.message);
    return ok;
}

// The recovery point: whatever the library reported, the caller reads one text.
bool PxPngCodec::EncodeGuarded(PxPngWriteState& s, PxFile* stream) {
    if (setjmp(s.failure.recovery)) return PxPngFail(s.failure, "Error saving PNG file");
    return WritePicture(s, stream);
}

bool PxPngCodec::WritePicture(PxPngWriteState& s, PxFile* stream) {
    s.png = PxPngCreateWriter(s.failure);
    if (!s.png) return PxPngFail(s.failure, "Failed to create PNG structure");
    s.info = png_create_info_struct(s.png);
    if (!s.info) return PxPngFail(s.failure, "Failed to initialize PNG info structure");
    PxPngWriteTo(s.png, stream);

    // A 24-bit picture with a transparent colour needs alpha to say so.
    s.rgba = HasAlpha() || (GetBpp() == 24 && IsTransparent());
    const bool paletted = IsIndexed() && !s.rgba;
    const int colorType = s.rgba ? PNG_COLOR_TYPE_RGB_ALPHA
                                 : (paletted ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB);
    png_set_IHDR(s.png, s.info, GetWidth(), GetHeight(), paletted ? GetBpp() : 8, colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (paletted) WritePalette(s);
    png_write_info(s.png, s.info);
    if (!WriteRows(s)) return false;
    png_write_end(s.png, s.info);
    return true;
}

// The transparent colour becomes entry 0 of the picture itself (palette and
// pixels), so that the one tRNS entry written covers it.
void PxPngCodec::WritePalette(PxPngWriteState& s) {
    const DWORD colors = GetNumColors();
    const LONG trans = info.transIndex;
    const bool hasTrans = trans >= 0 && static_cast<DWORD>(trans) < colors;
    if (hasTrans && trans != 0) {
        SwapIndex(0, static_cast<BYTE>(trans));
        info.transIndex = 0;
        if (info.ghostOf) info.ghostOf->SetTransIndex(0);
    }
    const RGBQUAD* palette = GetPalette();
    for (DWORD i = 0; i < colors; ++i) {
        s.palette[i] = {palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue};
        s.paletteAlpha[i] = palette[i].rgbReserved;
    }
    png_set_PLTE(s.png, s.info, s.palette, static_cast<int>(colors));
    if (info.alphaPaletteEnabled) {
        png_set_tRNS(s.png, s.info, s.paletteAlpha, static_cast<int>(colors), nullptr);
    } else if (hasTrans) {
        s.paletteAlpha[0] = 0;
        png_set_tRNS(s.png, s.info, s.paletteAlpha, 1, nullptr);
    }
}

// Rows go out top first.
bool PxPngCodec::WriteRows(PxPngWriteState& s) {
    const std::size_t rowBytes = s.rgba ? 4 * std::size_t{GetWidth()} : info.effWidth;
    s.row = static_cast<BYTE*>(std::malloc(rowBytes));
    if (!s.row) return PxPngFail(s.failure, "Error saving PNG file");
    const LONG height = static_cast<LONG>(GetHeight());
    for (LONG y = height - 1; y >= 0; --y) {
        if (s.rgba) {
            FillRgbaRow(s, y);
        } else {
            std::memcpy(s.row, RowAt(y), info.effWidth);
            RGBtoBGR(s.row, static_cast<LONG>(info.effWidth));
        }
        png_write_row(s.png, s.row);
    }
    return true;
}

// Red, green, blue, alpha; the stored alpha is scaled by alphaMax, and on a 24-bit
// picture the transparent colour is fully transparent. The picture's own alpha
// channel is left as it is.
void PxPngCodec::FillRgbaRow(const PxPngWriteState& s, LONG y) const {
    const bool keyed = GetBpp() == 24 && IsTransparent();
    const RGBQUAD key = GetTransColor();
    const BYTE* opacity = alpha ? alpha + static_cast<std::size_t>(y) * GetWidth() : nullptr;
    BYTE* out = s.row;
    for (DWORD x = 0; x < GetWidth(); ++x, out += 4) {
        const RGBQUAD c = GetPixelColor(static_cast<LONG>(x), y);
        BYTE level = opacity ? opacity[x] : 255;
        if (keyed && c.rgbRed == key.rgbRed && c.rgbGreen == key.rgbGreen &&
            c.rgbBlue == key.rgbBlue)
            level = 0;
        out[0] = c.rgbRed;
        out[1] = c.rgbGreen;
        out[2] = c.rgbBlue;
        out[3] = static_cast<BYTE>(level * info.alphaMax / 255);
    }
}
