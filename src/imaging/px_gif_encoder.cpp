// Writing GIF89a: the header, control extension, image block, comment and trailer
// shared by the still, tiled and animated writers, and the still writer itself.
#include <algorithm>
#include <cstring>

#include "platform/base/dib_header.h"
#include "px_gif_codec.h"
#include "px_gif_rle_encoder.h"

namespace {

constexpr LONG kMaxSide = 65535;

BYTE IndexAt(const BYTE* row, DWORD x, WORD bpp) {
    switch (bpp) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case 4:
            return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
        default:
            return row[x];
    }
}

// Indices top row first, as the file stores them.
void SendIndices(PxGifRleEncoder& encoder, const PxImage& image) {
    const DWORD width = image.GetWidth(), height = image.GetHeight();
    const DWORD stride = image.GetEffWidth();
    const WORD bpp = image.GetBpp();
    for (DWORD y = height; y-- > 0;) {
        const BYTE* row = image.GetBits() + static_cast<std::size_t>(y) * stride;
        for (DWORD x = 0; x < width; ++x)
            encoder.Pixel(IndexAt(row, x, bpp));
    }
}

bool WriteBytes(PxFile* stream, const BYTE* bytes, std::size_t n) {
    return n == 0 || stream->Write(bytes, 1, n) == n;
}

bool WriteColourTable(PxFile* stream, const PxImage& image) {
    BYTE table[3 * 256];
    const DWORD n = std::min<DWORD>(image.GetNumColors(), 256);
    for (DWORD i = 0; i < n; ++i) {
        const RGBQUAD c = image.GetPaletteColor(static_cast<BYTE>(i));
        table[3 * i] = c.rgbRed;
        table[3 * i + 1] = c.rgbGreen;
        table[3 * i + 2] = c.rgbBlue;
    }
    return WriteBytes(stream, table, 3 * n);
}

}  // namespace

bool PxGifCodec::Encode(PxFile* stream) {
    if (!stream) return Fail("Can't open GIF for writing");
    if (!IsValid()) return Fail("Invalid image");
    if (GetBpp() == 24) return WriteTiled(stream);
    return WriteStill(stream);
}

bool PxGifCodec::WriteStill(PxFile* stream) {
    if (!WriteHeader(stream, *this, true) || !WriteGraphicControl(stream, *this) ||
        !WriteImage(stream, *this, false) || !WriteComment(stream))
        return false;
    return stream->PutC(';') || Fail("Error writing GIF");
}

// Sizes and offsets are 16-bit fields: a picture that does not fit is refused
// rather than written with its numbers cut.
bool PxGifCodec::FitsFile(const PxImage& image) {
    LONG x = 0, y = 0;
    image.GetOffset(&x, &y);
    if (image.GetWidth() > kMaxSide || image.GetHeight() > kMaxSide)
        return Fail("GIF pictures are at most 65535 x 65535 pixels");
    if (x < 0 || y < 0 || x > kMaxSide || y > kMaxSide)
        return Fail("GIF frame offset out of range");
    return true;
}

// Screen size and packed byte from the image; a paletted image's colours follow
// as the global table when asked for.
bool PxGifCodec::WriteHeader(PxFile* stream, const PxImage& image, bool withTable) {
    if (!FitsFile(image)) return false;
    BYTE head[13] = {'G', 'I', 'F', '8', '9', 'a'};
    StoreLE16(head + 6, static_cast<WORD>(image.GetWidth()));
    StoreLE16(head + 8, static_cast<WORD>(image.GetHeight()));
    const int bpp = image.GetBpp();
    head[10] =
        image.IsIndexed() ? static_cast<BYTE>(0x80 | (((bpp - 1) << 5) & 0xFF) | (bpp - 1)) : 0x11;
    const bool ok = WriteBytes(stream, head, sizeof(head)) &&
                    (!withTable || !image.IsIndexed() || WriteColourTable(stream, image));
    return ok || Fail("Error writing GIF");
}

bool PxGifCodec::WriteGraphicControl(PxFile* stream, const PxImage& image) {
    const LONG trans = image.GetTransIndex();
    BYTE block[8] = {0x21, 0xF9, 0x04};
    block[3] = static_cast<BYTE>(((disposal << 2) & 0x1C) | (trans != -1 ? 1 : 0));
    StoreLE16(block + 4, static_cast<WORD>(std::min<DWORD>(image.GetFrameDelay(), 0xFFFF)));
    block[6] = static_cast<BYTE>(trans);
    block[7] = 0;
    return WriteBytes(stream, block, sizeof(block)) || Fail("Error writing GIF");
}

// Descriptor at the image's offset, an optional local table, the code size and
// the code stream in sub-blocks, then the zero-length sub-block.
bool PxGifCodec::WriteImage(PxFile* stream, const PxImage& image, bool localTable) {
    if (!FitsFile(image)) return false;
    LONG x = 0, y = 0;
    image.GetOffset(&x, &y);
    const int bpp = image.GetBpp();
    BYTE descriptor[10] = {0x2C};
    StoreLE16(descriptor + 1, static_cast<WORD>(x));
    StoreLE16(descriptor + 3, static_cast<WORD>(y));
    StoreLE16(descriptor + 5, static_cast<WORD>(image.GetWidth()));
    StoreLE16(descriptor + 7, static_cast<WORD>(image.GetHeight()));
    descriptor[9] = localTable ? static_cast<BYTE>(0x80 | (bpp - 1)) : 0x00;
    bool ok = WriteBytes(stream, descriptor, sizeof(descriptor)) &&
              (!localTable || WriteColourTable(stream, image)) &&
              stream->PutC(static_cast<BYTE>(std::max(2, bpp)));
    if (ok) {
        PxGifRleEncoder encoder(stream, bpp);
        SendIndices(encoder, image);
        ok = encoder.Finish() && stream->PutC(0);
    }
    return ok || Fail("Error writing GIF");
}

bool PxGifCodec::WriteComment(PxFile* stream) {
    const std::size_t length = std::min<std::size_t>(std::strlen(comment), 255);
    if (length == 0) return true;
    const BYTE head[3] = {0x21, 0xFE, static_cast<BYTE>(length)};
    const bool ok = WriteBytes(stream, head, sizeof(head)) &&
                    WriteBytes(stream, reinterpret_cast<const BYTE*>(comment), length) &&
                    stream->PutC(0);
    return ok || Fail("Error writing GIF");
}
