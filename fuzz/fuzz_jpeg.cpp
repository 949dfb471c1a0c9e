// The JPEG decoder on arbitrary bytes; what decodes is written back out.
#include <cstdlib>

#include "imaging/px_image.h"

extern "C" int LLVMFuzzerTestOneInput(const BYTE* data, std::size_t size) {
    PxImage image;
    if (image.Decode(const_cast<BYTE*>(data), static_cast<DWORD>(size), PX_FORMAT_JPG)) {
        BYTE* out = nullptr;
        LONG outSize = 0;
        if (image.Encode(out, outSize, PX_FORMAT_JPG)) std::free(out);
    }
    return 0;
}
