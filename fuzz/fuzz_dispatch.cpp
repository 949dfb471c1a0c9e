// The codec dispatch over memory buffers: the first byte picks the type code, the
// frame and (its bit 6) whether every load option is on; the rest is the file.
// Decoded pictures of up to 2^16 pixels go through every encoder.
#include <cstdint>
#include <cstdlib>

#include "imaging/px_image.h"
#include "imaging/px_load_options.h"
#include "imaging/px_mem_file.h"

extern "C" int LLVMFuzzerTestOneInput(const BYTE* data, std::size_t size) {
    if (size < 1) return 0;
    const DWORD type = data[0] % 8;  // 0 must be refused
    PxImage image;
    image.SetFrame(data[0] >> 3);
    PxLoadOptions options;
    options.upright = options.toSrgb = options.byContents = (data[0] & 0x40) != 0;
    PxMemFile file(const_cast<BYTE*>(data + 1), static_cast<std::uint32_t>(size - 1));
    if (!image.Decode(&file, type, options)) return 0;
    // Large pictures are not written back: the memory stream grows 4 KB at a time,
    // which the sanitizers' reallocation turns into minutes of copying.
    if (std::uint64_t{image.GetWidth()} * image.GetHeight() > (1u << 16)) return 0;
    for (DWORD out = 0; out <= 7; ++out) {
        BYTE* buffer = nullptr;
        LONG bytes = 0;
        if (image.Encode(buffer, bytes, out)) std::free(buffer);
    }
    return 0;
}
