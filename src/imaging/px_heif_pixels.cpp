// HEIF pixels into the image: libheif's interleaved rows, top first, land
// bottom-up as blue, green, red, with alpha in the alpha plane.
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include <libheif/heif.h>

#include "px_color_profile.h"
#include "px_heif_codec.h"

namespace {

// Little-endian sample `i` of a deep row, at most `max`.
unsigned Sample(const BYTE* row, std::size_t i, unsigned max) {
    const unsigned v = row[2 * i] | (unsigned{row[2 * i + 1]} << 8);
    return v < max ? v : max;
}

BYTE To8(unsigned v, unsigned max) {
    return static_cast<BYTE>((v * 255u + max / 2) / max);
}

std::uint16_t To16(unsigned v, unsigned max) {
    return static_cast<std::uint16_t>((v * 65535u + max / 2) / max);
}

}  // namespace

bool PxHeifCodec::StorePicture(heif_image* picture, bool alpha, int bits,
                               const PxColorToSrgb& toSrgb) {
    const int width = heif_image_get_width(picture, heif_channel_interleaved);
    const int height = heif_image_get_height(picture, heif_channel_interleaved);
    int stride = 0;
    const BYTE* plane = heif_image_get_plane_readonly(picture, heif_channel_interleaved, &stride);
    const std::int64_t pixelBytes = (alpha ? 4 : 3) * (bits > 8 ? 2 : 1);
    if (!plane || width <= 0 || height <= 0 || stride < width * pixelBytes ||
        std::uint64_t(width) * std::uint64_t(height) > kPxMaxPixels)
        return Fail("HEIF decoder returned no usable picture");
    if (heif_image_get_bits_per_pixel_range(picture, heif_channel_interleaved) != bits)
        return Fail("HEIF decoder returned an unexpected depth");
    if (!Create(static_cast<DWORD>(width), static_cast<DWORD>(height), 24, PX_FORMAT_HEIF))
        return Fail("Can't allocate memory");
    if (alpha && !AlphaCreate()) return Fail("Can't allocate memory");
    const bool stored = bits > 8 ? StoreRowsDeep(plane, stride, alpha, bits, toSrgb)
                                 : StoreRows8(plane, stride, alpha, toSrgb);
    if (stored && alpha && heif_image_is_premultiplied_alpha(picture)) UnpremultiplyAlpha();
    return stored;
}

bool PxHeifCodec::StoreRows8(const BYTE* plane, int stride, bool alpha,
                             const PxColorToSrgb& toSrgb) {
    const DWORD width = GetWidth();
    const LONG height = static_cast<LONG>(GetHeight());
    const int step = alpha ? 4 : 3;
    for (LONG j = 0; j < height; ++j) {
        const BYTE* in = plane + static_cast<std::size_t>(j) * static_cast<std::size_t>(stride);
        const LONG y = height - 1 - j;
        BYTE* out = RowAt(y);
        if (toSrgb) toSrgb.ConvertRow(in, out, width);
        BYTE* opacity = alpha ? this->alpha + static_cast<std::size_t>(y) * width : nullptr;
        for (DWORD x = 0; x < width; ++x, in += step, out += 3) {
            if (!toSrgb) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
            if (opacity) opacity[x] = in[3];
        }
    }
    return true;
}

// 10 and 12-bit samples reach the profile at full depth (scaled to 16 bits) and
// become 8-bit only in sRGB.
bool PxHeifCodec::StoreRowsDeep(const BYTE* plane, int stride, bool alpha, int bits,
                                const PxColorToSrgb& toSrgb) {
    const DWORD width = GetWidth();
    const LONG height = static_cast<LONG>(GetHeight());
    const std::size_t channels = alpha ? 4 : 3;
    const unsigned max = (1u << bits) - 1;
    std::vector<std::uint16_t> wide;
    try {
        if (toSrgb) wide.resize(width * channels);
    } catch (const std::bad_alloc&) {
        return Fail("Can't allocate memory");
    }
    for (LONG j = 0; j < height; ++j) {
        const BYTE* in = plane + static_cast<std::size_t>(j) * static_cast<std::size_t>(stride);
        const LONG y = height - 1 - j;
        BYTE* out = RowAt(y);
        BYTE* opacity = alpha ? this->alpha + static_cast<std::size_t>(y) * width : nullptr;
        for (std::size_t x = 0; x < width; ++x) {
            const std::size_t at = x * channels;
            if (toSrgb) {
                for (std::size_t c = 0; c < channels; ++c)
                    wide[at + c] = To16(Sample(in, at + c, max), max);
            } else {
                out[3 * x] = To8(Sample(in, at + 2, max), max);
                out[3 * x + 1] = To8(Sample(in, at + 1, max), max);
                out[3 * x + 2] = To8(Sample(in, at, max), max);
            }
            if (opacity) opacity[x] = To8(Sample(in, at + 3, max), max);
        }
        if (toSrgb) toSrgb.ConvertRow(wide.data(), out, width);
    }
    return true;
}

// A picture stored premultiplied comes out as the image keeps it: colour apart
// from opacity.
void PxHeifCodec::UnpremultiplyAlpha() {
    const DWORD width = GetWidth();
    for (LONG y = 0; y < static_cast<LONG>(GetHeight()); ++y) {
        BYTE* row = RowAt(y);
        const BYTE* opacity = alpha + static_cast<std::size_t>(y) * width;
        for (DWORD x = 0; x < width; ++x) {
            const unsigned a = opacity[x];
            if (a == 0 || a == 255) continue;
            for (int c = 0; c < 3; ++c) {
                const unsigned v = (row[3 * x + c] * 255u + a / 2) / a;
                row[3 * x + c] = static_cast<BYTE>(v > 255 ? 255 : v);
            }
        }
    }
}
