// DIB blocks in global memory handles, and the 16/32-bit bit-field conversion
// they share with the BMP reader.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/base/dib_header.h"
#include "px_bitfields.h"
#include "px_image.h"

namespace {

struct DibLayout {
    BITMAPINFOHEADER h;
    DWORD width = 0, height = 0;
    bool topDown = false;
    std::uint64_t paletteOffset = 0, colors = 0, bitsOffset = 0, stride = 0;
    WORD masks[3] = {0x7C00, 0x03E0, 0x001F};
};

bool SupportedFormat(const BITMAPINFOHEADER& h) {
    switch (h.biBitCount) {
        case 1:
        case 4:
        case 8:
        case 24:
            return h.biCompression == BI_RGB;
        case 16:
        case 32:
            return h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS;
        default:
            return false;
    }
}

// Works out where the palette and the rows lie, checking every part against the block.
bool MeasureDib(const BYTE* block, std::size_t size, DibLayout& d) {
    d.h = UnpackInfoHeader(block);
    const BITMAPINFOHEADER& h = d.h;
    if (h.biSize < kInfoHeaderSize || h.biSize > size || !SupportedFormat(h)) return false;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) return false;
    d.width = static_cast<DWORD>(h.biWidth);
    d.topDown = h.biHeight < 0;
    d.height = static_cast<DWORD>(d.topDown ? -h.biHeight : h.biHeight);
    d.paletteOffset = h.biSize;
    if (h.biCompression == BI_BITFIELDS) {
        if (kInfoHeaderSize + 12 > size) return false;
        for (int i = 0; i < 3; ++i)
            d.masks[i] = static_cast<WORD>(LoadLE32(block + 40 + 4 * i));
        if (h.biSize == kInfoHeaderSize) d.paletteOffset += 12;
    }
    d.colors = h.biClrUsed;
    if (h.biBitCount <= 8 && d.colors == 0) d.colors = 1u << h.biBitCount;
    d.bitsOffset = d.paletteOffset + 4 * d.colors;
    d.stride = (std::uint64_t{d.width} * h.biBitCount + 31) / 32 * 4;
    return d.bitsOffset + d.stride * d.height <= size;
}

}  // namespace

HANDLE PxImage::CopyToHandle() const {
    if (!dib) return nullptr;
    HGLOBAL handle = GlobalAlloc(GHND, static_cast<std::size_t>(GetSize()));
    if (!handle) return nullptr;
    auto* block = static_cast<BYTE*>(GlobalLock(handle));
    std::memcpy(block, dib, static_cast<std::size_t>(GetSize()));
    PackInfoHeader(header, block);
    GlobalUnlock(handle);
    return handle;
}

bool PxImage::CreateFromHANDLE(HANDLE handle) {
    const std::size_t size = GlobalSize(handle);
    const auto* block = static_cast<const BYTE*>(GlobalLock(handle));
    if (!block) return false;
    const bool ok = size >= kInfoHeaderSize && LoadDibBlock(block, size);
    GlobalUnlock(handle);
    return ok;
}

bool PxImage::LoadDibBlock(const BYTE* block, std::size_t size) {
    DibLayout d;
    if (!MeasureDib(block, size, d)) return false;
    PxImage image;
    image.CopyInfo(*this);
    if (!image.Create(d.width, d.height, d.h.biBitCount, static_cast<LONG>(info.type)))
        return false;
    const std::uint64_t entries = std::min<std::uint64_t>(d.colors, image.GetNumColors());
    if (entries)
        std::memcpy(image.GetPalette(), block + d.paletteOffset,
                    static_cast<std::size_t>(4 * entries));

    const BYTE* rows = block + d.bitsOffset;
    if (d.h.biBitCount == 32) {
        image.Bitfield2RGB(rows, 0, 0, 0, 32);
    } else {
        // 16-bit rows are expanded in place inside the 24-bit rows they become.
        std::memcpy(image.info.bits, rows, static_cast<std::size_t>(d.stride * d.height));
        if (d.h.biBitCount == 16)
            image.Bitfield2RGB(image.info.bits, d.masks[0], d.masks[1], d.masks[2], 16);
    }
    if (d.topDown) image.ReverseRows();
    image.header.biXPelsPerMeter = d.h.biXPelsPerMeter;
    image.header.biYPelsPerMeter = d.h.biYPelsPerMeter;
    image.info.xDpi = DpiFromPelsPerMeter(d.h.biXPelsPerMeter);
    image.info.yDpi = DpiFromPelsPerMeter(d.h.biYPelsPerMeter);
    image.SyncDibHeader();
    return Transfer(image);
}

void PxImage::ReverseRows() {
    std::vector<BYTE> row(info.effWidth);
    for (LONG top = header.biHeight - 1, bottom = 0; bottom < top; --top, ++bottom) {
        std::memcpy(row.data(), RowAt(bottom), info.effWidth);
        std::memcpy(RowAt(bottom), RowAt(top), info.effWidth);
        std::memcpy(RowAt(top), row.data(), info.effWidth);
    }
}

// 16 bits: rows of ((width + 1) / 2) * 4 bytes, converted from the last row and the
// rightmost pixel backwards so the source may be this image's own pixel block. Each
// field keeps its top bits wherever the mask puts it (5-5-5 and 5-6-5 white become
// 248, 248, 248 and 248, 252, 248).
// 32 bits: rows of width * 4 bytes, bytes 0, 1, 2 taken as blue, green, red.
void PxImage::Bitfield2RGB(const BYTE* src, WORD redMask, WORD greenMask, WORD blueMask, BYTE bpp) {
    if (!dib || !src || header.biBitCount != 24) return;
    const LONG width = header.biWidth;
    if (bpp == 16) {
        const std::size_t srcStride = static_cast<std::size_t>((width + 1) / 2) * 4;
        for (LONG y = header.biHeight - 1; y >= 0; --y) {
            for (LONG x = width - 1; x >= 0; --x) {
                const BYTE* s = src + y * srcStride + 2 * static_cast<std::size_t>(x);
                const DWORD w = s[0] | (DWORD{s[1]} << 8);
                BYTE* p = RowAt(y) + 3 * static_cast<std::size_t>(x);
                p[0] = FieldToByte(w, blueMask);
                p[1] = FieldToByte(w, greenMask);
                p[2] = FieldToByte(w, redMask);
            }
        }
    } else if (bpp == 32) {
        const std::size_t srcStride = static_cast<std::size_t>(width) * 4;
        for (LONG y = 0; y < header.biHeight; ++y) {
            for (LONG x = 0; x < width; ++x) {
                const BYTE* s = src + y * srcStride + 4 * static_cast<std::size_t>(x);
                BYTE* p = RowAt(y) + 3 * static_cast<std::size_t>(x);
                p[0] = s[0];
                p[1] = s[1];
                p[2] = s[2];
            }
        }
    }
}
