// The WebP decoder on arbitrary bytes, as stored and with the picture turned
// upright and converted to sRGB.
#include "imaging/px_image.h"
#include "imaging/px_load_options.h"
#include "imaging/px_mem_file.h"

extern "C" int LLVMFuzzerTestOneInput(const BYTE* data, std::size_t size) {
    PxImage plain;
    plain.Decode(const_cast<BYTE*>(data), static_cast<DWORD>(size), PX_FORMAT_WEBP);
    PxLoadOptions options;
    options.upright = true;
    options.toSrgb = true;
    PxMemFile file(const_cast<BYTE*>(data), static_cast<DWORD>(size));
    PxImage turned;
    turned.Decode(&file, PX_FORMAT_WEBP, options);
    return 0;
}
