// PNG pictures through libpng.
#pragma once

#include "px_file.h"
#include "px_image.h"

class PxPngCodec : public PxImage {
public:
    PxPngCodec() : PxImage(PX_FORMAT_PNG) {}

    bool Decode(PxFile* stream);
    bool Encode(PxFile* stream);
};
