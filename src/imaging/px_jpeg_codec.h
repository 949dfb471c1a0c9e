// JPEG pictures through libjpeg: grey, RGB and CMYK files in; grey-ramp and RGB
// pictures out. With the load options, the EXIF orientation (APP1) is reported and
// an embedded ICC profile (APP2) converts the colours to sRGB.
#pragma once

#include "px_color_profile.h"
#include "px_file.h"
#include "px_image.h"
#include "px_load_options.h"

struct PxJpegReadState;
struct PxJpegWriteState;

class PxJpegCodec : public PxImage, public PxDecodeSettings {
public:
    PxJpegCodec() : PxImage(PX_FORMAT_JPG) {}

    bool Decode(PxFile* stream);
    bool Encode(PxFile* stream);

    // Decoding at a reduced scale (1/2, 1/4 or 1/8, the smallest that keeps the
    // longer side at least `side` pixels) for callers that only show a small
    // picture. 0, the default, decodes in full.
    void SetMinimumLongerSide(DWORD side) { minimumLongerSide_ = side; }

private:
    // Everything between the recovery point and the end of a decode or encode;
    // a library error jumps back out of these, so they hold no object with a
    // destructor.
    bool DecodeGuarded(PxJpegReadState& s, PxFile* stream);
    // With embeddedThumbnailSide, the EXIF thumbnail in place of the picture; false
    // (stream back at its start) when there is none that fits.
    bool DecodeEmbeddedThumbnail(PxFile* stream);
    void SaveMarkers(PxJpegReadState& s) const;
    bool ReadPicture(PxJpegReadState& s);
    void ReadOrientation(const PxJpegReadState& s);
    void ReadProfile(PxJpegReadState& s) const;
    void ConvertGrayPalette(const PxColorToSrgb& colour);
    void ReadResolution(const PxJpegReadState& s);
    void ReadPalette(const PxJpegReadState& s);
    bool ReadScanlines(PxJpegReadState& s);
    void CmykToBgr(const BYTE* cmyk, BYTE* row) const;
    bool SwapRedBlue();

    bool EncodeGuarded(PxJpegWriteState& s, PxFile* stream);
    bool WritePicture(PxJpegWriteState& s);

    DWORD minimumLongerSide_ = 0;
    // A warning (damaged or cut-off data) fails the decode: an embedded thumbnail
    // that is not whole is not shown.
    bool strict_ = false;
};

// The denominator of the DCT scale (1, 2, 4 or 8) for a picture of width x height
// that must keep its longer side at least `side` pixels; 1 for side 0.
unsigned PxJpegReductionFor(DWORD width, DWORD height, DWORD side);

// Whether a thumbnail of thumbWidth x thumbHeight stands for a picture of width x
// height: proportions equal within 2%, longer side at least minimumLongerSide.
bool PxThumbnailFits(DWORD thumbWidth, DWORD thumbHeight, DWORD width, DWORD height,
                     DWORD minimumLongerSide);
