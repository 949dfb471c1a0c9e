// The GIF decoder on arbitrary bytes. The first byte picks the frame (its low
// three bits); the rest is the file. What decodes is written back as GIF and read
// again, which must succeed (pictures up to 2^16 pixels: the tiled writer spends
// about 3 bytes a pixel, and the memory stream grows 4 KB at a time).
#include <cstdint>
#include <cstdlib>

#include "imaging/px_image.h"

extern "C" int LLVMFuzzerTestOneInput(const BYTE* data, std::size_t size) {
    if (size < 1) return 0;
    PxImage image;
    image.SetFrame(data[0] & 7);
    if (!image.Decode(const_cast<BYTE*>(data + 1), static_cast<DWORD>(size - 1), PX_FORMAT_GIF))
        return 0;
    if (std::uint64_t{image.GetWidth()} * image.GetHeight() > (1u << 16)) return 0;
    BYTE* out = nullptr;
    LONG outSize = 0;
    if (image.Encode(out, outSize, PX_FORMAT_GIF)) {
        PxImage again;
        if (!again.Decode(out, static_cast<DWORD>(outSize), PX_FORMAT_GIF)) std::abort();
        std::free(out);
    }
    return 0;
}
