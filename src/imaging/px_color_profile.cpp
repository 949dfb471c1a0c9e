#include "px_color_profile.h"

#include <lcms2.h>

#include <climits>
#include <mutex>

namespace {

struct ProfileClose {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileClose>;

struct LayoutFormat {
    cmsUInt32Number format;
    cmsColorSpaceSignature space;
};

LayoutFormat FormatOf(PxPixelLayout layout) {
    switch (layout) {
        case PxPixelLayout::Gray8:
            return {TYPE_GRAY_8, cmsSigGrayData};
        case PxPixelLayout::Gray16:
            return {TYPE_GRAY_16, cmsSigGrayData};
        case PxPixelLayout::GrayA8:
            return {TYPE_GRAYA_8, cmsSigGrayData};
        case PxPixelLayout::GrayA16:
            return {TYPE_GRAYA_16, cmsSigGrayData};
        case PxPixelLayout::Rgb8:
            return {TYPE_RGB_8, cmsSigRgbData};
        case PxPixelLayout::Rgba8:
            return {TYPE_RGBA_8, cmsSigRgbData};
        case PxPixelLayout::Rgb16:
            return {TYPE_RGB_16, cmsSigRgbData};
        case PxPixelLayout::Rgba16:
            return {TYPE_RGBA_16, cmsSigRgbData};
        case PxPixelLayout::Bgr8:
            return {TYPE_BGR_8, cmsSigRgbData};
        case PxPixelLayout::Cmyk8:
            return {TYPE_CMYK_8, cmsSigCmykData};
        case PxPixelLayout::CmykInverted8:
            return {TYPE_CMYK_8_REV, cmsSigCmykData};
    }
    return {TYPE_RGB_8, cmsSigRgbData};
}

// A profile that says nothing (the errors of a damaged one) goes to no log: a
// broken profile only means the picture is taken as sRGB.
void QuietLog(cmsContext, cmsUInt32Number, const char*) {}

// The size the header declares must be there: LittleCMS would read a profile cut
// short up to the size it was given and take what it finds.
bool WholeProfile(const BYTE* profile, std::size_t size) {
    const std::size_t declared = std::size_t{profile[0]} << 24 | std::size_t{profile[1]} << 16 |
                                 std::size_t{profile[2]} << 8 | profile[3];
    return declared >= 132 && declared <= size;
}

}  // namespace

struct PxColorToSrgb::Transform {
    cmsHTRANSFORM handle = nullptr;
    ~Transform() {
        if (handle) cmsDeleteTransform(handle);
    }
};

PxColorToSrgb::PxColorToSrgb(const BYTE* profile, std::size_t size, PxPixelLayout layout) {
    if (!profile || size < 132 || size > INT_MAX || !WholeProfile(profile, size)) return;
    static std::once_flag quiet;
    std::call_once(quiet, [] { cmsSetLogErrorHandler(QuietLog); });
    const LayoutFormat in = FormatOf(layout);
    Profile source(cmsOpenProfileFromMem(profile, static_cast<cmsUInt32Number>(size)));
    if (!source || cmsGetColorSpace(source.get()) != in.space) return;
    Profile srgb(cmsCreate_sRGBProfile());
    if (!srgb) return;
    // Perceptual where the profile has tables for it, as viewers show photos;
    // LittleCMS falls back to relative colorimetric for matrix profiles.
    cmsUInt32Number flags = cmsFLAGS_BLACKPOINTCOMPENSATION;
    // LittleCMS's optimised pipelines resample the curves coarsely: 16-bit linear
    // shadows came out at half their level. Full-depth input takes the exact path.
    if (T_BYTES(in.format) == 2) flags |= cmsFLAGS_NOOPTIMIZE;
    cmsHTRANSFORM handle = cmsCreateTransform(source.get(), in.format, srgb.get(), TYPE_BGR_8,
                                              INTENT_PERCEPTUAL, flags);
    if (!handle) return;
    transform_ = std::make_unique<Transform>();
    transform_->handle = handle;
}

PxColorToSrgb::PxColorToSrgb() = default;
PxColorToSrgb::PxColorToSrgb(PxColorToSrgb&&) noexcept = default;
PxColorToSrgb& PxColorToSrgb::operator=(PxColorToSrgb&&) noexcept = default;
PxColorToSrgb::~PxColorToSrgb() = default;

void PxColorToSrgb::ConvertRow(const void* in, BYTE* outBgr, std::size_t count) const {
    if (!transform_ || count == 0) return;
    cmsDoTransform(transform_->handle, in, outBgr, static_cast<cmsUInt32Number>(count));
}
