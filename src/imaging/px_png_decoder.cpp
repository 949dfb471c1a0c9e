// PNG reading: libpng delivers the rows, composited over a background unless the
// file's alpha can be kept in an alpha channel; the rows land bottom-up.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "px_png_codec.h"
#include "px_png_read_state.h"
#include "px_two_bit_rows.h"

namespace {

constexpr const char* kCancelled = "Cancelled";
constexpr const char* kNoMemory = "Can't allocate memory";
// Deflate cannot expand data more than about 1032 times, so a file shorter than
// that share of its rows cannot hold them; such a file is refused before the
// rows are allocated. Small pictures are always tried.
constexpr std::uint64_t kDeflateExpansion = 1032;
constexpr std::uint64_t kAlwaysTried = 16u << 20;

DWORD BppForFileBits(int bits) {
    if (bits == 1) return 1;
    if (bits <= 4) return 4;
    if (bits <= 16) return 8;
    return 24;
}

}  // namespace

bool PxPngCodec::Decode(PxFile* stream) {
    PxColorToSrgb colour;
    PxPngReadState s{};
    s.colour = &colour;
    const bool ok = stream ? DecodeGuarded(s, stream) : PxPngFail(s.failure, "Read Error");
    std::free(s.row);
    std::free(s.deep);
    if (s.png) png_destroy_read_struct(&s.png, s.info ? &s.info : nullptr, nullptr);
    if (!ok) SetLastErrorText(s.failure.message);
    return ok;
}

// The recovery point: a library error comes back here with its message set.
bool PxPngCodec::DecodeGuarded(PxPngReadState& s, PxFile* stream) {
    if (setjmp(s.failure.recovery)) return false;
    return ReadPicture(s, stream);
}

bool PxPngCodec::ReadPicture(PxPngReadState& s, PxFile* stream) {
    if (!StartReading(s, stream) || !CreateFromHeader(s)) return false;
    const int passes = StartRows(s);
    if (passes == 0 || !ReadRows(s, passes)) return false;
    if (*s.colour && !s.fullDepth) ConvertPixels(s);
    png_read_end(s.png, s.info);
    if (LoadOptions().upright) ReadOrientation(s);
    return true;
}

bool PxPngCodec::StartReading(PxPngReadState& s, PxFile* stream) {
    s.png = PxPngCreateReader(s.failure);
    if (!s.png) return PxPngFail(s.failure, "Failed to create PNG structure");
    s.info = png_create_info_struct(s.png);
    if (!s.info) return PxPngFail(s.failure, "Failed to initialize PNG info structure");
    PxPngSetLimits(s.png);
    PxPngReadFrom(s.png, s.source, stream, LoadOptions().upright);
    png_read_info(s.png, s.info);
    return CheckDimensions(s, stream);
}

// The picture, its palette and the transformations that make the library's rows
// fit it.
bool PxPngCodec::CreateFromHeader(PxPngReadState& s) {
    const int colorType = png_get_color_type(s.png, s.info);
    s.fileBits = png_get_channels(s.png, s.info) * png_get_bit_depth(s.png, s.info);
    if (LoadOptions().toSrgb) ReadProfile(s);
    SetupBackground(s);
    if (s.fullDepth)
        SetupFullDepth(s);
    else if (png_get_bit_depth(s.png, s.info) == 16)
        png_set_strip_16(s.png);
    const LONG bpp = s.fullDepth ? 24 : static_cast<LONG>(BppForFileBits(s.fileBits));
    if (!Create(png_get_image_width(s.png, s.info), png_get_image_height(s.png, s.info), bpp,
                PX_FORMAT_PNG))
        return PxPngFail(s.failure, kNoMemory);
    ReadPalette(s, s.fileBits);
    ReadPaletteAlpha(s);
    if (*s.colour && !s.fullDepth) ConvertPalette(s);

    s.withAlpha = colorType == PNG_COLOR_TYPE_RGB_ALPHA ||
                  (colorType == PNG_COLOR_TYPE_GRAY_ALPHA && s.fileBits == 32);
    if (s.withAlpha) {
        if (!s.fullDepth) {
            if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(s.png);
            png_set_filler(s.png, 0xFF, PNG_FILLER_AFTER);
        }
        if (!AlphaCreate()) return PxPngFail(s.failure, kNoMemory);
    }
    if ((colorType & PNG_COLOR_MASK_COLOR) && !s.fullDepth) png_set_bgr(s.png);
    return true;
}

// The row buffer and the number of passes; 0 on failure.
int PxPngCodec::StartRows(PxPngReadState& s) {
    if (info.escape) return PxPngFail(s.failure, kCancelled);
    s.rowSize = static_cast<std::size_t>((s.fileBits + 7) / 8) * GetWidth() + 10;
    s.row = static_cast<BYTE*>(std::calloc(s.rowSize, 1));
    if (!s.row) return PxPngFail(s.failure, kNoMemory);
    const bool interlaced = png_get_interlace_type(s.png, s.info) != PNG_INTERLACE_NONE;
    const int passes = interlaced ? png_set_interlace_handling(s.png) : 1;
    png_read_update_info(s.png, s.info);
    // The transformations chosen above never widen a row past the buffer; a
    // library that did would be refused rather than trusted.
    if (png_get_rowbytes(s.png, s.info) > s.rowSize)
        return PxPngFail(s.failure, "PNG row does not fit the row buffer");
    if (s.fullDepth && !CheckFullDepthRows(s, passes)) return 0;
    return passes;
}

bool PxPngCodec::CheckDimensions(PxPngReadState& s, PxFile* stream) {
    const std::uint64_t width = png_get_image_width(s.png, s.info);
    const std::uint64_t height = png_get_image_height(s.png, s.info);
    if (width * height > kPxMaxPixels) return PxPngFail(s.failure, "PNG image is too large");
    const std::int64_t size = stream->Size();
    const std::int64_t here = stream->Tell();
    if (size < 0 || here < 0 || here > size) return true;
    const std::uint64_t bits =
        std::uint64_t{png_get_channels(s.png, s.info)} * png_get_bit_depth(s.png, s.info);
    const std::uint64_t raw = ((width * bits + 7) / 8 + 1) * height;
    const std::uint64_t left = static_cast<std::uint64_t>(size - here);
    if (raw > std::max(kAlwaysTried, left * kDeflateExpansion))
        return PxPngFail(s.failure, "PNG file too short for its dimensions");
    return true;
}

// Transparency is composited over the file's background colour, or grey 192,
// except where an alpha channel will keep it (32 bits per pixel); there the
// background colour is remembered as the transparent colour.
void PxPngCodec::SetupBackground(PxPngReadState& s) {
    png_color_16p fileBackground = nullptr;
    const bool hasBackground = png_get_bKGD(s.png, s.info, &fileBackground) && fileBackground;
    if (s.fileBits == 32) {
        if (hasBackground) {
            info.transColor.rgbRed = static_cast<BYTE>(fileBackground->red & 0xFF);
            info.transColor.rgbGreen = static_cast<BYTE>(fileBackground->green & 0xFF);
            info.transColor.rgbBlue = static_cast<BYTE>(fileBackground->blue & 0xFF);
            info.transColor.rgbReserved = 0;
        }
        return;
    }
    // Composite in the file's own values, as without gamma handling; newer
    // libraries would otherwise blend in linear light where the file has a gAMA.
    png_set_gamma(s.png, 1.0, 1.0);
    if (hasBackground) {
        png_set_background(s.png, fileBackground, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
        return;
    }
    png_color_16 grey{};
    // The library takes this colour in the depth of the rows it hands over.
    const png_uint_16 level = s.fullDepth ? 192 * 257 : 192;
    grey.red = grey.green = grey.blue = grey.gray = level;
    // Grey files below 8 bits take the background in their own depth.
    const int depth = png_get_bit_depth(s.png, s.info);
    if (depth < 8) grey.gray = static_cast<png_uint_16>((192 * ((1 << depth) - 1) + 127) / 255);
    png_set_background(s.png, &grey, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
}

void PxPngCodec::ReadPalette(PxPngReadState& s, int bitsPerPixel) {
    png_colorp colors = nullptr;
    int count = 0;
    if (png_get_PLTE(s.png, s.info, &colors, &count) && colors) {
        const DWORD n = std::min<DWORD>(static_cast<DWORD>(std::max(count, 0)), GetNumColors());
        for (DWORD i = 0; i < n; ++i)
            SetPaletteIndex(static_cast<BYTE>(i), colors[i].red, colors[i].green, colors[i].blue);
    } else if (bitsPerPixel == 2) {
        for (BYTE i = 0; i < 4; ++i)
            SetPaletteIndex(i, i * 85, i * 85, i * 85);
    } else {
        SetGrayPalette();
    }
}

// tRNS of a palette file: a lone fully transparent entry 0 is the transparent
// index; anything else becomes palette alpha.
void PxPngCodec::ReadPaletteAlpha(PxPngReadState& s) {
    png_bytep alphas = nullptr;
    int count = 0;
    png_color_16p color = nullptr;
    RGBQUAD* palette = GetPalette();
    if (png_get_color_type(s.png, s.info) != PNG_COLOR_TYPE_PALETTE || !palette ||
        !png_get_tRNS(s.png, s.info, &alphas, &count, &color) || !alphas || count <= 0)
        return;
    const DWORD n = std::min<DWORD>(static_cast<DWORD>(count), GetNumColors());
    for (DWORD i = 0; i < n; ++i)
        palette[i].rgbReserved = alphas[i];
    if (count == 1 && alphas[0] == 0) {
        info.transIndex = 0;
        return;
    }
    info.alphaPaletteEnabled = true;
    for (DWORD i = n; i < GetNumColors(); ++i)
        palette[i].rgbReserved = 255;
}

// Rows arrive top first. Interlaced files come in passes; from the second pass on
// each row starts from what earlier passes left in the image.
bool PxPngCodec::ReadRows(PxPngReadState& s, int passes) {
    const LONG height = static_cast<LONG>(GetHeight());
    for (int pass = 0; pass < passes; ++pass) {
        const bool lastPass = pass == passes - 1;
        for (LONG j = 0; j < height; ++j) {
            if (info.escape) return PxPngFail(s.failure, kCancelled);
            if (s.fullDepth) {
                ReadDeepRow(s, j, lastPass);
                continue;
            }
            const LONG y = height - 1 - j;
            if (pass > 0) {
                if (s.withAlpha)
                    LoadAlphaRow(s, y);
                else
                    std::memcpy(s.row, RowAt(y), info.effWidth);
            }
            png_read_row(s.png, s.row, nullptr);
            if (s.withAlpha)
                StoreAlphaRow(s, y);
            else
                StoreRow(s, y, lastPass);
        }
    }
    return true;
}

void PxPngCodec::StoreRow(const PxPngReadState& s, LONG y, bool lastPass) {
    if (s.fileBits == 2 && lastPass) PxWidenTwoBitRow(s.row, GetWidth());
    std::memcpy(RowAt(y), s.row, info.effWidth);
}

// The buffer holds blue, green, red and alpha (or filler) per pixel.
void PxPngCodec::StoreAlphaRow(const PxPngReadState& s, LONG y) {
    BYTE* out = RowAt(y);
    BYTE* opacity = alpha + static_cast<std::size_t>(y) * GetWidth();
    const BYTE* in = s.row;
    for (DWORD x = 0; x < GetWidth(); ++x, in += 4, out += 3) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        opacity[x] = in[3];
    }
}

void PxPngCodec::LoadAlphaRow(const PxPngReadState& s, LONG y) const {
    const BYTE* in = RowAt(y);
    const BYTE* opacity = alpha + static_cast<std::size_t>(y) * GetWidth();
    BYTE* out = s.row;
    for (DWORD x = 0; x < GetWidth(); ++x, in += 3, out += 4) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = opacity[x];
    }
}
