// TIFF pictures through libtiff: the first page, as a palette image (palette and
// grey of up to 8 bits) or 24 bits with an alpha plane when the page has alpha.
// Decoding only.
#pragma once

#include <tiffio.h>

#include "px_file.h"
#include "px_image.h"
#include "px_load_options.h"
#include "px_tiff_layout.h"

class PxTiffCodec : public PxImage, public PxDecodeSettings {
public:
    PxTiffCodec() : PxImage(PX_FORMAT_TIFF) {}

    bool Decode(PxFile* stream);

private:
    bool ReadPicture(TIFF* tif);
    void ReadOrientation(TIFF* tif);
    void ReadResolution(TIFF* tif);
    bool ReadIndexed(TIFF* tif, const PxTiffLayout& layout);
    void ReadColormap(TIFF* tif, const PxTiffLayout& layout);
    bool ReadSamples(TIFF* tif, const PxTiffLayout& layout);
    bool ReadThroughRgba(TIFF* tif, const PxTiffLayout& layout);
    bool Fail(const char* text);
};
