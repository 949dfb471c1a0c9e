#include "px_gif_codec.h"

// The GIF reader and writer are not part of this build yet; every call says so.
namespace {
constexpr const char* kUnavailable = "GIF codec not available in this build";
}

bool PxGifCodec::Decode(PxFile* /*stream*/) {
    SetLastErrorText(kUnavailable);
    return false;
}

bool PxGifCodec::Encode(PxFile* /*stream*/) {
    SetLastErrorText(kUnavailable);
    return false;
}

bool PxGifCodec::Encode(PxFile* /*stream*/, PxImage** /*images*/, int /*count*/) {
    SetLastErrorText(kUnavailable);
    return false;
}
