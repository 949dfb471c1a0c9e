#include "px_png_codec.h"

// The PNG adapter is not part of this build yet; every call says so.
namespace {
constexpr const char* kUnavailable = "PNG codec not available in this build";
}

bool PxPngCodec::Decode(PxFile* /*stream*/) {
    SetLastErrorText(kUnavailable);
    return false;
}

bool PxPngCodec::Encode(PxFile* /*stream*/) {
    SetLastErrorText(kUnavailable);
    return false;
}
