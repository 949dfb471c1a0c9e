// Embedded ICC profiles converted to sRGB through LittleCMS 2.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/base/win_types.h"

// The sample layouts decoders hand in. Alpha, where present, is skipped: the
// image keeps it in its own channel.
enum class PxPixelLayout {
    Gray8,
    Gray16,  // native byte order
    GrayA8,
    GrayA16,
    Rgb8,
    Rgba8,
    Rgb16,  // native byte order
    Rgba16,
    Bgr8,  // the image's own 24-bit rows, converted in place
    Cmyk8,
    CmykInverted8,  // as Adobe writes CMYK JPEGs: 0 is full ink
};

// A conversion of rows from a profile's colour space into 8-bit sRGB in the
// image's blue, green, red order. Empty when the profile is broken, unsupported
// or of another colour space than the layout: the caller then treats the pixels
// as sRGB, as if there were no profile.
class PxColorToSrgb {
public:
    PxColorToSrgb();  // empty; defined beside Transform, which is incomplete here
    PxColorToSrgb(const BYTE* profile, std::size_t size, PxPixelLayout layout);
    PxColorToSrgb(PxColorToSrgb&&) noexcept;
    PxColorToSrgb& operator=(PxColorToSrgb&&) noexcept;
    ~PxColorToSrgb();

    explicit operator bool() const { return transform_ != nullptr; }

    // `count` pixels from `in` (in the layout given) into `outBgr` (3 bytes a
    // pixel). With the Bgr8 layout `in` may be `outBgr`.
    void ConvertRow(const void* in, BYTE* outBgr, std::size_t count) const;

private:
    struct Transform;
    std::unique_ptr<Transform> transform_;
};
