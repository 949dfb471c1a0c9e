// GIF pictures: still and animated, any frame in; still, tiled and animated out.
#pragma once

#include "px_file.h"
#include "px_image.h"

class PxGifCodec : public PxImage {
public:
    PxGifCodec() : PxImage(PX_FORMAT_GIF) {}

    bool Decode(PxFile* stream);
    bool Encode(PxFile* stream);
    bool Encode(PxFile* stream, PxImage** images, int count);
};
