// The HEIF decoder on arbitrary bytes, as stored and again upright in sRGB with
// a thumbnail allowed, the paths a picture browser takes.
#include "imaging/px_image.h"
#include "imaging/px_mem_file.h"

extern "C" int LLVMFuzzerTestOneInput(const BYTE* data, std::size_t size) {
    {
        PxMemFile file(const_cast<BYTE*>(data), static_cast<DWORD>(size));
        PxImage image;
        image.Decode(&file, PX_FORMAT_HEIF, PxLoadOptions{});
    }
    PxLoadOptions options;
    options.upright = true;
    options.toSrgb = true;
    options.minimumLongerSide = 8;
    PxMemFile file(const_cast<BYTE*>(data), static_cast<DWORD>(size));
    PxImage image;
    image.Decode(&file, PX_FORMAT_HEIF, options);
    return 0;
}
