// JPEG pictures through libjpeg.
#pragma once

#include "px_file.h"
#include "px_image.h"

class PxJpegCodec : public PxImage {
public:
    PxJpegCodec() : PxImage(PX_FORMAT_JPG) {}

    bool Decode(PxFile* stream);
    bool Encode(PxFile* stream);
};
