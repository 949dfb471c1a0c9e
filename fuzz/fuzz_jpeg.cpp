// The JPEG decoder on arbitrary bytes; what decodes is written back out. The same
// bytes are decoded again with every load option on, so the orientation, the
// colour profile and the sniffing of the contents are fuzzed too.
#include <cstdlib>

#include "imaging/px_image.h"
#include "imaging/px_load_options.h"
#include "imaging/px_mem_file.h"

extern "C" int LLVMFuzzerTestOneInput(const BYTE* data, std::size_t size) {
    PxImage image;
    if (image.Decode(const_cast<BYTE*>(data), static_cast<DWORD>(size), PX_FORMAT_JPG)) {
        BYTE* out = nullptr;
        LONG outSize = 0;
        if (image.Encode(out, outSize, PX_FORMAT_JPG)) std::free(out);
    }
    PxLoadOptions options;
    options.upright = options.toSrgb = options.byContents = true;
    PxMemFile file(const_cast<BYTE*>(data), static_cast<std::uint32_t>(size));
    PxImage upright;
    upright.Decode(&file, PX_FORMAT_JPG, options);
    return 0;
}
