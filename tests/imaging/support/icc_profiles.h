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
