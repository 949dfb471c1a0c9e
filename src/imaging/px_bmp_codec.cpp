#include "px_bmp_codec.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "platform/base/dib_header.h"
#include "px_bitfields.h"

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kCoreHeaderSize = 12;
constexpr std::size_t kShortestInfoHeader = 16;
// A picture may be truncated, but a few bytes must not buy a huge allocation: the
// pixel block may exceed this floor only in proportion to the data present.
constexpr std::uint64_t kFreeAllocation = 16u << 20;
constexpr std::uint64_t kMaxExpansion = 1024;

bool PairsWithCompression(WORD bits, DWORD compression, const char*& message) {
    switch (bits) {
        case 1:
        case 4:
        case 8:
            message = "compression type not supported";
            return compression == BI_RGB || (compression == BI_RLE8 && bits == 8) ||
                   (compression == BI_RLE4 && bits == 4);
        case 16:
        case 32:
            message = "unknown compression";
            return compression == BI_RGB || compression == BI_BITFIELDS;
        case 24:
            message = "unknown compression";
            return compression == BI_RGB;
        default:
            message = "Unsupported BMP bit count";
            return false;
    }
}

}  // namespace

struct PxBmpCodec::Layout {
    std::int64_t start = 0;        // stream position of the file
    std::int64_t headerEnd = 0;    // position right after the info header as declared
    std::int64_t streamSize = -1;  // -1 when the stream cannot tell
    DWORD pixelOffset = 0;         // from the file header; 0 without one
    DWORD headerSize = 0;
    DWORD compression = BI_RGB;
    WORD bitCount = 0;
    bool topDown = false;
    DWORD masks[3] = {0x7C00, 0x03E0, 0x001F};
};

bool PxBmpCodec::Fail(const char* message) {
    SetLastErrorText(message);
    return false;
}

bool PxBmpCodec::Decode(PxFile* stream) {
    if (!stream) return Fail("Not a BMP");
    Layout layout;
    if (!ReadHeaders(stream, layout)) return false;
    if (!Create(GetWidth(), GetHeight(), layout.bitCount, 0)) return Fail("Can't allocate memory");
    info.xDpi = DpiFromPelsPerMeter(header.biXPelsPerMeter);
    info.yDpi = DpiFromPelsPerMeter(header.biYPelsPerMeter);
    if (info.escape) return Fail("Cancelled");
    if (!ReadPalette(stream, layout)) return false;
    if (info.escape) return Fail("Cancelled");
    if (!ReadMasks(stream, layout)) return false;
    if (layout.pixelOffset) {
        if (layout.streamSize >= 0 && layout.start + layout.pixelOffset >= layout.streamSize)
            return Fail("BMP pixel data lies past the end of the file");
        stream->Seek(static_cast<std::int32_t>(layout.start + layout.pixelOffset), SEEK_SET);
    } else if (stream->Tell() < layout.headerEnd) {
        stream->Seek(static_cast<std::int32_t>(layout.headerEnd), SEEK_SET);
    }
    if (!ReadPixels(stream, layout)) return false;
    if (layout.topDown) ReverseRows();
    return true;
}

// Reads the optional file header and the info header (core, short, 40-byte or
// longer) into `header`, and checks what it declares before anything is allocated.
bool PxBmpCodec::ReadHeaders(PxFile* stream, Layout& layout) {
    layout.start = stream->Tell();
    layout.streamSize = stream->Size();
    BYTE fileHeader[kFileHeaderSize];
    if (stream->Read(fileHeader, kFileHeaderSize, 1) != 1) return Fail("Not a BMP");
    if (fileHeader[0] == 'B' && fileHeader[1] == 'M') {
        layout.pixelOffset = LoadLE32(fileHeader + 10);
    } else {
        stream->Seek(static_cast<std::int32_t>(layout.start), SEEK_SET);
    }

    const std::int64_t infoStart = stream->Tell();
    BYTE raw[kInfoHeaderSize] = {};
    const std::size_t got = stream->Read(raw, 1, kInfoHeaderSize);
    layout.headerSize = got >= 4 ? LoadLE32(raw) : 0;
    BITMAPINFOHEADER h{};
    if (layout.headerSize == kCoreHeaderSize && got >= kCoreHeaderSize) {
        h.biWidth = LoadLE16(raw + 4);
        h.biHeight = LoadLE16(raw + 6);
        h.biPlanes = LoadLE16(raw + 8);
        h.biBitCount = LoadLE16(raw + 10);
    } else if (layout.headerSize >= kShortestInfoHeader &&
               got >= std::min<std::size_t>(layout.headerSize, kInfoHeaderSize)) {
        // Fields a short header does not have read as zero.
        if (layout.headerSize < kInfoHeaderSize)
            std::memset(raw + layout.headerSize, 0, kInfoHeaderSize - layout.headerSize);
        h = UnpackInfoHeader(raw);
    } else {
        return Fail("Error reading BMP info");
    }
    layout.headerEnd = infoStart + layout.headerSize;
    if (layout.headerSize < kInfoHeaderSize)
        stream->Seek(static_cast<std::int32_t>(layout.headerEnd), SEEK_SET);
    if (layout.streamSize >= 0 && layout.headerEnd > layout.streamSize)
        return Fail("Error reading BMP info");

    layout.compression = h.biCompression;
    layout.bitCount = h.biBitCount;
    const char* message = nullptr;
    if (!PairsWithCompression(h.biBitCount, h.biCompression, message)) return Fail(message);
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN)
        return Fail("Invalid BMP dimensions");
    layout.topDown = h.biHeight < 0;
    header.biWidth = h.biWidth;
    header.biHeight = layout.topDown ? -h.biHeight : h.biHeight;
    header.biXPelsPerMeter = h.biXPelsPerMeter;
    header.biYPelsPerMeter = h.biYPelsPerMeter;

    const WORD bpp = h.biBitCount > 8 ? 24 : h.biBitCount;
    const std::uint64_t stride = (std::uint64_t{GetWidth()} * bpp + 31) / 32 * 4;
    const std::uint64_t pixelBytes = stride * GetHeight();
    if (layout.streamSize >= 0) {
        const auto left = static_cast<std::uint64_t>(
            std::max<std::int64_t>(layout.streamSize - stream->Tell(), 0));
        if (pixelBytes > std::max(kFreeAllocation, left * kMaxExpansion))
            return Fail("BMP file too short for its dimensions");
    }
    return true;
}

bool PxBmpCodec::ReadPalette(PxFile* stream, const Layout& layout) {
    RGBQUAD* palette = GetPalette();
    if (!palette) return true;
    // A longer header is followed by the palette, not by our 40th byte.
    if (layout.headerSize > kInfoHeaderSize)
        stream->Seek(static_cast<std::int32_t>(layout.headerEnd), SEEK_SET);
    const DWORD count = GetNumColors();
    if (layout.headerSize == kCoreHeaderSize) {
        BYTE triple[3];
        for (DWORD i = 0; i < count && stream->Read(triple, 3, 1) == 1; ++i)
            palette[i] = RGBQUAD{triple[0], triple[1], triple[2], 0};
    } else {
        // Entries the file does not hold stay as Create zeroed them.
        stream->Read(palette, 1, 4 * count);
    }
    return true;
}

// Bit-field masks follow a 40-byte header (and sit inside longer ones). Each must be
// a non-empty field of the pixel.
bool PxBmpCodec::ReadMasks(PxFile* stream, Layout& layout) {
    if (layout.compression != BI_BITFIELDS) return true;
    BYTE raw[12];
    if (stream->Read(raw, 12, 1) != 1) return Fail("Error reading BMP bit-field masks");
    const DWORD widest = layout.bitCount == 16 ? 0xFFFF : 0xFFFFFFFF;
    for (int i = 0; i < 3; ++i) {
        layout.masks[i] = LoadLE32(raw + 4 * i);
        if (layout.masks[i] == 0 || layout.masks[i] > widest)
            return Fail("Invalid BMP bit-field masks");
    }
    return true;
}

bool PxBmpCodec::ReadPixels(PxFile* stream, const Layout& layout) {
    switch (layout.bitCount) {
        case 16:
        case 32:
            return ReadBitfieldPixels(stream, layout);
        default:
            break;
    }
    if (layout.compression == BI_RLE8 || layout.compression == BI_RLE4) {
        Clear(0);  // pixels a run never reaches read as index 0
        DecodeRle(stream, layout.compression == BI_RLE4);
    } else {
        ReadRows(stream, header.biSizeImage);
    }
    return true;
}

bool PxBmpCodec::ReadBitfieldPixels(PxFile* stream, const Layout& layout) {
    const std::size_t width = GetWidth(), height = GetHeight();
    if (layout.bitCount == 16) {
        ReadRows(stream, (width + 1) / 2 * 4 * height);
        Bitfield2RGB(info.bits, static_cast<WORD>(layout.masks[0]),
                     static_cast<WORD>(layout.masks[1]), static_cast<WORD>(layout.masks[2]), 16);
        return true;
    }
    const std::size_t bytes = width * height * 4;
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[bytes]());
    if (!buffer) return Fail("can't allocate memory");
    stream->Read(buffer.get(), 1, bytes);
    const bool plain =
        layout.compression == BI_RGB ||
        (layout.masks[0] == 0xFF0000 && layout.masks[1] == 0xFF00 && layout.masks[2] == 0xFF);
    if (plain)
        Bitfield2RGB(buffer.get(), 0, 0, 0, 32);
    else
        MaskedToRGB(buffer.get(), layout.masks);
    return true;
}

// 32-bit pixels whose masks place the channels elsewhere than the usual bytes: each
// field is cut out by its mask and its top 8 bits become the channel.
void PxBmpCodec::MaskedToRGB(const BYTE* src, const DWORD masks[3]) {
    for (LONG y = 0; y < header.biHeight; ++y) {
        BYTE* row = RowAt(y);
        for (LONG x = 0; x < header.biWidth; ++x, src += 4) {
            const DWORD pixel = LoadLE32(src);
            row[3 * x] = FieldToByte(pixel, masks[2]);
            row[3 * x + 1] = FieldToByte(pixel, masks[1]);
            row[3 * x + 2] = FieldToByte(pixel, masks[0]);
        }
    }
}

// Reads up to `bytes` into the pixel block; what a short file leaves unread is zeroed
// so no uninitialised byte ever reaches the picture.
void PxBmpCodec::ReadRows(PxFile* stream, std::size_t bytes) {
    const std::size_t got = stream->Read(info.bits, 1, bytes);
    std::memset(info.bits + got, 0, header.biSizeImage - got);
}

// Run-length data (8-bit or 4-bit). Runs, absolute runs and deltas that leave the
// row or the picture are dropped, never written. 4-bit pixels take the source
// nibbles in file order (high first) whatever their column, and deltas move by
// whole pixels, as the run-length format defines.
void PxBmpCodec::DecodeRle(PxFile* stream, bool fourBit) {
    const std::int64_t width = header.biWidth, height = header.biHeight;
    std::int64_t x = 0, y = 0;
    auto put = [&](int index) {
        if (x < width)
            SetPixelIndex(static_cast<LONG>(x), static_cast<LONG>(y), static_cast<BYTE>(index));
        ++x;
    };
    while (y < height) {
        const int count = stream->GetC();
        const int second = stream->GetC();
        if (count < 0 || second < 0) return;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(!fourBit ? second : (i & 1) ? second & 0x0F : second >> 4);
        } else if (second == 0) {
            x = 0;
            ++y;
        } else if (second == 1) {
            return;
        } else if (second == 2) {
            const int dx = stream->GetC(), dy = stream->GetC();
            if (dx < 0 || dy < 0) return;
            x += dx;
            y += dy;
        } else if (!ReadAbsoluteRun(stream, second, fourBit, put)) {
            return;
        }
    }
}

// `pixels` pixels stored one a byte (or two, for 4-bit), padded to an even byte count.
template <class Put>
bool PxBmpCodec::ReadAbsoluteRun(PxFile* stream, int pixels, bool fourBit, Put& put) {
    const int bytes = fourBit ? (pixels + 1) / 2 : pixels;
    for (int i = 0; i < bytes; ++i) {
        const int data = stream->GetC();
        if (data < 0) return false;
        if (!fourBit) {
            put(data);
            continue;
        }
        put(data >> 4);
        if (2 * i + 1 < pixels) put(data & 0x0F);
    }
    if (bytes & 1) stream->GetC();
    return true;
}

bool PxBmpCodec::Encode(PxFile* stream) {
    if (!stream) return false;
    if (!IsValid()) return Fail("Invalid image");
    const auto paletteSize = GetPaletteSize();
    BYTE fileHeader[kFileHeaderSize] = {'B', 'M'};
    StoreLE32(fileHeader + 2, static_cast<std::uint32_t>(GetSize()) + kFileHeaderSize);
    StoreLE32(fileHeader + 10, kFileHeaderSize + kInfoHeaderSize + paletteSize);
    SyncDibHeader();
    if (stream->Write(fileHeader, kFileHeaderSize, 1) != 1 ||
        stream->Write(GetDIB(), static_cast<std::size_t>(GetSize()), 1) != 1)
        return Fail("Error writing BMP");
    return true;
}
