#include "px_encode_bytes.h"

#include <cstdlib>
#include <memory>

std::vector<BYTE> EncodeToBytes(PxImage& image, DWORD imageType) {
    BYTE* buffer = nullptr;
    LONG size = 0;
    if (!image.Encode(buffer, size, imageType)) return {};
    const std::unique_ptr<BYTE, decltype(&std::free)> owned(buffer, &std::free);
    return std::vector<BYTE>(buffer, buffer + size);
}
