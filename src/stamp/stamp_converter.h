// CStampConverter: the magnified copy of the stamp that the user picks transparent
// colours on, and the conversion of the stamp to its final 8-bit form.
#pragma once

#include <functional>

#include "octree_quantizer.h"
#include "preview_picture.h"

// The tolerance used when "StampTolerance" cannot be read: the installer's value.
constexpr DWORD kDefaultStampTolerance = 16;

// "StampTolerance" from the wizards' key, read anew each call; a failure is
// reported by the settings reader and gives kDefaultStampTolerance.
DWORD ReadStampTolerance();

class CStampConverter : public CPicture {
public:
    CStampConverter();

    // Widens the target's stamp to 24 bits with the key colour transparent and
    // makes the magnified copy (nearest neighbour, so every colour is the stamp's).
    bool Attach(CPicture* stamp, double scale);
    // Whether the owner's client point lies on the magnified copy.
    bool HitPicture(LONG x, LONG y) const;
    // Makes the colour under the point transparent; false when off the copy or
    // when nothing was to change.
    bool PickAt(LONG x, LONG y);
    // Every pixel of the copy and of the stamp within the tolerance of color (each
    // channel strictly closer than it) becomes the key colour. False, changing
    // nothing, when color is the key colour itself.
    bool MakeTransparent(RGBQUAD color);
    void DrawMagnified();
    // Reduces the 24-bit stamp to 8 bits on an octree palette with error diffusion;
    // the entry that is exactly the key colour becomes the transparent index.
    // "Header File Error" without pixels. The picture is unchanged on failure.
    bool ConvertToStamp(PxImage& stamp);
    bool ConvertToStamp(PxImage& stamp, COctreeQuantizer& quantizer);

    CPicture* target = nullptr;
    RGBQUAD keyColor{255, 0, 255, 0};
    // Where the tolerance comes from on each pick: the settings by default.
    std::function<DWORD()> toleranceSource = ReadStampTolerance;
};
