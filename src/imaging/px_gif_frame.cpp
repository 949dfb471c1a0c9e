// One image block of a GIF file: its descriptor and table, the picture it becomes,
// and how it joins the frames before it.
#include <cstring>

#include "platform/base/dib_header.h"
#include "px_gif_codec.h"
#include "px_gif_decode_state.h"

namespace {

LONG BppForColours(int colours) {
    if (colours <= 2) return 1;
    if (colours <= 16) return 4;
    return 8;
}

}  // namespace

PxGifCodec::Block PxGifCodec::ReadImage(DecodeState& state) {
    BYTE descriptor[9];
    if (reader.Read(descriptor, sizeof(descriptor)) != sizeof(descriptor)) return Block::Stop;
    const LONG left = LoadLE16(descriptor);
    const LONG top = LoadLE16(descriptor + 2);
    const DWORD width = LoadLE16(descriptor + 4);
    const DWORD height = LoadLE16(descriptor + 6);
    const BYTE flags = descriptor[8];

    // Our own tiled writer starts with a tile smaller than the screen in at least
    // one direction and has no global table.
    if (state.imageNumber == 0 && (static_cast<LONG>(width) != state.screenWidth ||
                                   static_cast<LONG>(height) != state.screenHeight))
        ++state.trueColourCount;
    BYTE localTable[768];
    int localSize = 0;
    if ((flags & 0x80) && !ReadTable(localTable, localSize, flags)) return Block::Stop;
    const BYTE* table = localSize ? localTable : state.globalTable;
    const int tableSize = localSize ? localSize : state.globalSize;

    if (state.imageNumber == 0) {
        state.tiled = state.trueColourCount >= 2;
        if (state.tiled) info.frame = info.numFrames - 1;
        state.firstTransIndex = info.transIndex;
    }
    const bool composite = state.imageNumber > 0 && disposal == 1 && !state.tiled && IsValid();
    if (composite) KeepPicture(state.previous);

    if (width == 0 || height == 0) return FailBlock("GIF frame has no pixels");
    if (!state.Spend(std::uint64_t{width} * height))
        return FailBlock("GIF frame too large for its data");
    if (!Create(width, height, BppForColours(tableSize), PX_FORMAT_GIF))
        return FailBlock("Can't allocate memory for the GIF frame");
    ApplyPalette(table, tableSize);
    DecodeLzw((flags & 0x40) != 0);
    if (info.escape) return FailBlock("Cancelled");

    if (composite) {
        CompositeOnto(state.previous, left, top);
        AdoptPicture(state.previous);
        info.transIndex = state.firstTransIndex;
    }
    // The next block starts after the data's zero-length sub-block, wherever the
    // codes ended.
    if (!blocksEnded && !streamEnded) SkipSubBlocks();
    if (state.tiled && !PaintOnCanvas(state, left, top)) return Block::Fail;
    state.decodedAny = true;
    return state.imageNumber++ == info.frame ? Block::Stop : Block::Continue;
}

// Transparent frames get white in the entries their table does not fill, and a
// full table without white gives up its last entry for it.
void PxGifCodec::ApplyPalette(const BYTE* table, int size) {
    if (size == 0) return;
    RGBQUAD palette[256];
    for (int i = 0; i < size; ++i)
        palette[i] = RGBQUAD{table[3 * i + 2], table[3 * i + 1], table[3 * i], 0};
    if (info.transIndex == -1) {
        SetPalette(palette, static_cast<DWORD>(size));
        return;
    }
    const RGBQUAD white{255, 255, 255, 0};
    bool hasWhite = false;
    for (int i = 0; i < size; ++i)
        hasWhite = hasWhite || (palette[i].rgbRed == 255 && palette[i].rgbGreen == 255 &&
                                palette[i].rgbBlue == 255);
    for (int i = size; i < 256; ++i)
        palette[i] = white;
    if (size == 256 && !hasWhite) palette[255] = white;
    SetPalette(palette, 256);
}

// The picture decoded so far moves out (for compositing) or back in; the codec's
// own info record stays.
void PxGifCodec::KeepPicture(PxImage& into) {
    const PxImageInfo keep = info;
    into.Transfer(*this);
    info = keep;
    info.bits = nullptr;
    info.effWidth = 0;
}

void PxGifCodec::AdoptPicture(PxImage& from) {
    const PxImageInfo keep = info;
    Transfer(from);
    const DWORD effWidth = info.effWidth;
    BYTE* bits = info.bits;
    info = keep;
    info.effWidth = effWidth;
    info.bits = bits;
}

// Pixels other than the frame's transparent index (255 for an opaque frame) are
// written as indices into the previous result; what falls outside it is dropped.
void PxGifCodec::CompositeOnto(PxImage& previous, LONG left, LONG top) {
    const BYTE skip = info.transIndex == -1 ? 255 : static_cast<BYTE>(info.transIndex);
    const LONG width = static_cast<LONG>(GetWidth()), height = static_cast<LONG>(GetHeight());
    const LONG prevWidth = static_cast<LONG>(previous.GetWidth());
    const LONG prevHeight = static_cast<LONG>(previous.GetHeight());
    for (LONG y = 0; y < height && top + y < prevHeight; ++y) {
        const LONG source = height - 1 - y, target = prevHeight - 1 - (top + y);
        for (LONG x = 0; x < width && left + x < prevWidth; ++x) {
            const BYTE index = GetPixelIndex(x, source);
            if (index != skip) previous.SetPixelIndex(left + x, target, index);
        }
    }
}

// Tiles of a true-colour file go onto a screen-sized 24 bpp canvas in their colours.
bool PxGifCodec::PaintOnCanvas(DecodeState& state, LONG left, LONG top) {
    if (!state.canvas.IsValid()) {
        const std::uint64_t pixels = std::uint64_t(state.screenWidth) * state.screenHeight;
        if (!state.Spend(pixels)) return Fail("GIF screen too large for its data");
        if (!state.canvas.Create(static_cast<DWORD>(state.screenWidth),
                                 static_cast<DWORD>(state.screenHeight), 24, PX_FORMAT_GIF))
            return Fail("Can't allocate memory for the GIF screen");
        state.canvas.Clear(0);
    }
    const LONG width = static_cast<LONG>(GetWidth()), height = static_cast<LONG>(GetHeight());
    for (LONG y = 0; y < height && top + y < state.screenHeight; ++y) {
        const LONG source = height - 1 - y, target = state.screenHeight - 1 - (top + y);
        for (LONG x = 0; x < width && left + x < state.screenWidth; ++x)
            state.canvas.SetPixelColor(left + x, target, GetPixelColor(x, source));
    }
    if (controlBlock[0] & 1)
        state.canvasTransColor = GetPaletteColor(static_cast<BYTE>(info.transIndex));
    return true;
}
