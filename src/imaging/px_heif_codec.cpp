// HEIF reading: the whole file in memory, libheif's context over it, the primary
// image (or a fitting thumbnail) checked for size and then decoded to RGB.
#include "px_heif_codec.h"

#include <mutex>
#include <string>
#include <vector>

#include "px_color_profile.h"
#include "px_heif_handles.h"
#include "px_heif_thumbnail.h"
#include "px_stream_bytes.h"

namespace {

constexpr const char* kNoMemory = "Can't allocate memory";
// libheif refuses an image with a longer side, before it allocates anything for
// it; the pixel count is checked on top.
constexpr int kMaxSide = 1 << 16;

}  // namespace

void PxHeifInitOnce() {
    static std::once_flag once;
    std::call_once(once, [] { heif_init(nullptr); });
}

bool PxHeifCodec::Decode(PxFile* stream) {
    std::vector<unsigned char> bytes;
    std::string error;
    if (!PxReadStreamBytes(stream, kPxMaxWholeFile, bytes, error)) return Fail(error.c_str());
    return DecodeBytes(bytes.data(), bytes.size());
}

bool PxHeifCodec::DecodeBytes(const unsigned char* data, std::size_t size) {
    PxHeifInitOnce();
    PxHeifContext context(heif_context_alloc());
    if (!context) return Fail(kNoMemory);
    heif_context_set_maximum_image_size_limit(context.get(), kMaxSide);
    // The bytes outlive the context: both belong to this call.
    const heif_error read =
        heif_context_read_from_memory_without_copy(context.get(), data, size, nullptr);
    if (read.code != heif_error_Ok) return Fail(read);
    heif_image_handle* raw = nullptr;
    const heif_error got = heif_context_get_primary_image_handle(context.get(), &raw);
    PxHeifHandle primary(raw);
    if (got.code != heif_error_Ok || !primary) return Fail(got);
    // A file whose picture is too large is refused even where a thumbnail would do.
    if (!CheckSize(primary.get())) return false;
    const PxLoadOptions& options = LoadOptions();
    PxHeifHandle thumb =
        PxHeifFittingThumbnail(primary.get(), options.minimumLongerSide, options.upright);
    return DecodeHandle(thumb ? thumb.get() : primary.get());
}

// Both the stored size and the size after the file's transformations, since the
// decode allocates for each.
bool PxHeifCodec::CheckSize(const heif_image_handle* handle) {
    const std::uint64_t width = static_cast<unsigned>(heif_image_handle_get_width(handle));
    const std::uint64_t height = static_cast<unsigned>(heif_image_handle_get_height(handle));
    const std::uint64_t storedWidth =
        static_cast<unsigned>(heif_image_handle_get_ispe_width(handle));
    const std::uint64_t storedHeight =
        static_cast<unsigned>(heif_image_handle_get_ispe_height(handle));
    if (width == 0 || height == 0) return Fail("HEIF image has no size");
    if (width * height > kPxMaxPixels || storedWidth * storedHeight > kPxMaxPixels)
        return Fail("HEIF image is too large");
    return true;
}

bool PxHeifCodec::DecodeHandle(const heif_image_handle* handle) {
    if (info.escape) return Fail("Cancelled");
    if (!CheckSize(handle)) return false;
    const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
    const int bits = heif_image_handle_get_luma_bits_per_pixel(handle);
    if (bits > 16) return Fail("HEIF bit depth is not supported");
    const bool deep = bits > 8;
    const int depth = deep ? bits : 8;
    PxHeifOptions options(heif_decoding_options_alloc());
    if (!options) return Fail(kNoMemory);
    options->ignore_transformations = LoadOptions().upright ? 0 : 1;
    const heif_chroma chroma =
        deep ? (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
             : (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
    heif_image* raw = nullptr;
    const heif_error decoded =
        heif_decode_image(handle, &raw, heif_colorspace_RGB, chroma, options.get());
    PxHeifPicture picture(raw);
    if (decoded.code != heif_error_Ok || !picture) return Fail(decoded);
    return StorePicture(picture.get(), alpha, depth, ProfileConversion(handle, alpha, depth));
}

namespace {

// nclx descriptions are taken as sRGB: PxColorToSrgb works from ICC bytes, and
// building a profile from primaries and a transfer curve is left for when
// wide-gamut files without an ICC profile turn up.
std::vector<BYTE> IccProfile(const heif_image_handle* handle) {
    // As PNG's iCCP: a profile larger than this is damaged or not for us.
    constexpr std::size_t kProfileCap = 4u << 20;
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type != heif_color_profile_type_prof && type != heif_color_profile_type_rICC) return {};
    const std::size_t size = heif_image_handle_get_raw_color_profile_size(handle);
    if (size == 0 || size > kProfileCap) return {};
    std::vector<BYTE> profile(size);
    if (heif_image_handle_get_raw_color_profile(handle, profile.data()).code != heif_error_Ok)
        return {};
    return profile;
}

}  // namespace

// The ICC profile, when asked for sRGB; without one the conversion is empty.
PxColorToSrgb PxHeifCodec::ProfileConversion(const heif_image_handle* handle, bool alpha,
                                             int bits) const {
    const PxPixelLayout layout = bits > 8 ? (alpha ? PxPixelLayout::Rgba16 : PxPixelLayout::Rgb16)
                                          : (alpha ? PxPixelLayout::Rgba8 : PxPixelLayout::Rgb8);
    const std::vector<BYTE> profile =
        LoadOptions().toSrgb ? IccProfile(handle) : std::vector<BYTE>{};
    return PxColorToSrgb(profile.data(), profile.size(), layout);
}

bool PxHeifCodec::Fail(const char* text) {
    SetLastErrorText(text);
    return false;
}

// libheif's message already names the kind of failure ("Invalid input: ...").
bool PxHeifCodec::Fail(const heif_error& error) {
    return Fail(error.message && *error.message ? error.message : "HEIF decoding failed");
}
