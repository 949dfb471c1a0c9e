// ICC profiles made with LittleCMS, so that tests need no profile files.
#pragma once

#include <lcms2.h>

#include <memory>
#include <vector>

using Bytes = std::vector<unsigned char>;

struct ProfileClose {
    void operator()(void* p) const { cmsCloseProfile(p); }
};
using Profile = std::unique_ptr<void, ProfileClose>;

inline Bytes SaveProfile(cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    if (!profile || !cmsSaveProfileToMem(profile, nullptr, &size)) return {};
    Bytes out(size);
    if (!cmsSaveProfileToMem(profile, out.data(), &size)) return {};
    return out;
}

// Rec. 2020 primaries with linear curves: 8 bits of it leave the shadows coarse.
inline Profile LinearRec2020() {
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{0.708, 0.292, 1.0}, {0.170, 0.797, 1.0}, {0.131, 0.046, 1.0}};
    cmsToneCurve* linear = cmsBuildGamma(nullptr, 1.0);
    cmsToneCurve* curves[3] = {linear, linear, linear};
    Profile p(cmsCreateRGBProfile(&white, &primaries, curves));
    cmsFreeToneCurve(linear);
    return p;
}

inline Profile LinearGrey() {
    cmsToneCurve* linear = cmsBuildGamma(nullptr, 1.0);
    Profile p(cmsCreateGrayProfile(cmsD50_xyY(), linear));
    cmsFreeToneCurve(linear);
    return p;
}

namespace icc_profiles_detail {

// Ink darkens and tints: cyan takes red, magenta green, yellow blue, black all.
inline cmsInt32Number InkToLab(const cmsUInt16Number in[], cmsUInt16Number out[], void*) {
    const double c = in[0] / 65535.0, m = in[1] / 65535.0, y = in[2] / 65535.0, k = in[3] / 65535.0;
    const cmsCIELab lab{100.0 * (1 - k) * (1 - 0.25 * c - 0.35 * m - 0.1 * y), 60.0 * (m - c),
                        70.0 * (y - 0.5 * c - 0.5 * m)};
    cmsFloat2LabEncoded(out, &lab);
    return TRUE;
}

}  // namespace icc_profiles_detail

// A small CMYK profile (ink to Lab through a table), for CMYK JPEG files.
inline Profile SimpleCmyk() {
    Profile p(cmsCreateProfilePlaceholder(nullptr));
    if (!p) return p;
    cmsSetDeviceClass(p.get(), cmsSigOutputClass);
    cmsSetColorSpace(p.get(), cmsSigCmykData);
    cmsSetPCS(p.get(), cmsSigLabData);
    cmsPipeline* lut = cmsPipelineAlloc(nullptr, 4, 3);
    cmsStage* table = cmsStageAllocCLut16bit(nullptr, 5, 4, 3, nullptr);
    cmsStageSampleCLut16bit(table, icc_profiles_detail::InkToLab, nullptr, 0);
    cmsPipelineInsertStage(lut, cmsAT_BEGIN, table);
    cmsWriteTag(p.get(), cmsSigAToB0Tag, lut);
    cmsWriteTag(p.get(), cmsSigMediaWhitePointTag, cmsD50_XYZ());
    cmsPipelineFree(lut);
    return p;
}
