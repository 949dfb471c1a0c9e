#include "dib_header.h"

void PackInfoHeader(const BITMAPINFOHEADER& h, std::uint8_t* out) {
    StoreLE32(out + 0, h.biSize);
    StoreLE32(out + 4, static_cast<std::uint32_t>(h.biWidth));
    StoreLE32(out + 8, static_cast<std::uint32_t>(h.biHeight));
    StoreLE16(out + 12, h.biPlanes);
    StoreLE16(out + 14, h.biBitCount);
    StoreLE32(out + 16, h.biCompression);
    StoreLE32(out + 20, h.biSizeImage);
    StoreLE32(out + 24, static_cast<std::uint32_t>(h.biXPelsPerMeter));
    StoreLE32(out + 28, static_cast<std::uint32_t>(h.biYPelsPerMeter));
    StoreLE32(out + 32, h.biClrUsed);
    StoreLE32(out + 36, h.biClrImportant);
}

BITMAPINFOHEADER UnpackInfoHeader(const std::uint8_t* in) {
    BITMAPINFOHEADER h{};
    h.biSize = LoadLE32(in + 0);
    h.biWidth = static_cast<LONG>(LoadLE32(in + 4));
    h.biHeight = static_cast<LONG>(LoadLE32(in + 8));
    h.biPlanes = LoadLE16(in + 12);
    h.biBitCount = LoadLE16(in + 14);
    h.biCompression = LoadLE32(in + 16);
    h.biSizeImage = LoadLE32(in + 20);
    h.biXPelsPerMeter = static_cast<LONG>(LoadLE32(in + 24));
    h.biYPelsPerMeter = static_cast<LONG>(LoadLE32(in + 28));
    h.biClrUsed = LoadLE32(in + 32);
    h.biClrImportant = LoadLE32(in + 36);
    return h;
}
