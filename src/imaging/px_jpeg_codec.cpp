#include "px_jpeg_codec.h"

// The JPEG adapter is not part of this build yet; every call says so.
namespace {
constexpr const char* kUnavailable = "JPEG codec not available in this build";
}

bool PxJpegCodec::Decode(PxFile* /*stream*/) {
    SetLastErrorText(kUnavailable);
    return false;
}

bool PxJpegCodec::Encode(PxFile* /*stream*/) {
    SetLastErrorText(kUnavailable);
    return false;
}
