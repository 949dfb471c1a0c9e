// How a picture is read beyond its stored pixels. Everything is off by default,
// so a plain Load or Decode gives the file's own pixels, byte for byte as always.
#pragma once

#include "platform/base/win_types.h"

struct PxLoadOptions {
    // Turn and mirror the decoded picture by the orientation it carries (EXIF 1 to 8).
    bool upright = false;
    // Convert the colours through an embedded ICC profile into sRGB.
    bool toSrgb = false;
    // A file whose contents are another supported format than the type named is
    // read as what it is (a PNG saved as ".jpg").
    bool byContents = false;
    // Formats that can decode at a reduced scale keep the longer side at least this
    // many pixels; 0 decodes in full.
    DWORD minimumLongerSide = 0;
    // A JPEG whose EXIF block carries a thumbnail (IFD1, JPEG data) of the picture's
    // proportions (within 2%) with a longer side of at least this many pixels is
    // read from that thumbnail instead; 0 always decodes the picture itself.
    DWORD embeddedThumbnailSide = 0;
};

// What a codec object carries beside its picture while it decodes: the options it
// was given and the orientation the file declared (1, as stored, when none).
// A codec that turns the picture itself leaves the orientation at 1.
class PxDecodeSettings {
public:
    void SetLoadOptions(const PxLoadOptions& options) { options_ = options; }
    const PxLoadOptions& LoadOptions() const { return options_; }
    int Orientation() const { return orientation_; }

protected:
    void SetOrientation(int orientation) { orientation_ = orientation; }

private:
    PxLoadOptions options_;
    int orientation_ = 1;
};
