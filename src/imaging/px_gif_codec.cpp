// The GIF file structure: header, colour tables, extensions, the frame count and
// the block loop that reads up to the chosen frame.
#include "px_gif_codec.h"

#include <algorithm>
#include <cstring>

#include "platform/base/dib_header.h"
#include "px_gif_decode_state.h"

PxGifCodec::PxGifCodec() : PxImage(PX_FORMAT_GIF) {
    std::memset(controlBlock, 0, sizeof(controlBlock));
    disposal = 0;
    loopCount = 0;
    comment[0] = '\0';
}

void PxGifCodec::SetComment(const char* text) {
    std::strncpy(comment, text ? text : "", sizeof(comment) - 1);
    comment[sizeof(comment) - 1] = '\0';
}

bool PxGifCodec::Fail(const char* message) {
    SetLastErrorText(message);
    return false;
}

bool PxGifCodec::Decode(PxFile* stream) {
    if (!stream) return false;
    reader.Attach(stream);
    DecodeState state;
    BYTE head[13];
    if (reader.Read(head, sizeof(head)) != sizeof(head) || std::memcmp(head, "GIF8", 4) != 0)
        return false;
    state.screenWidth = LoadLE16(head + 6);
    state.screenHeight = LoadLE16(head + 8);
    if (head[10] & 0x80) {
        ReadTable(state.globalTable, state.globalSize, head[10]);
    } else {
        ++state.trueColourCount;
    }
    state.SetBudget(reader.Remaining());

    info.numFrames = CountFrames();
    if (info.frame < 0 || info.frame >= info.numFrames) return false;

    Block block = Block::Continue;
    while (block == Block::Continue) {
        if (info.escape) return Fail("Cancelled");
        block = ReadBlock(state);
    }
    reader.Release();
    if (block == Block::Fail) return false;
    // Nothing was decoded when a damaged extension stops reading before the first
    // frame: no picture is better than an invented one.
    if (!state.decodedAny) return Fail("GIF damaged before the chosen frame");
    if (state.tiled) {
        AdoptPicture(state.canvas);
        if (controlBlock[0] & 1) {
            info.transColor = state.canvasTransColor;
            info.transIndex = 0;
        }
    }
    return true;
}

// Counts the images to the trailer or the end of the stream. Image data is skipped
// by its sub-blocks, which is where the decoder leaves each frame too. Damaged
// extensions do not stop the count, and the per-frame facts the extensions set are
// put back so the frames read afterwards start from the file's beginning.
LONG PxGifCodec::CountFrames() {
    const std::int64_t start = reader.Tell();
    BYTE savedBlock[4];
    std::memcpy(savedBlock, controlBlock, sizeof(savedBlock));
    const int savedDisposal = disposal;
    const LONG savedTrans = info.transIndex;
    const DWORD savedDelay = info.frameDelay;

    LONG count = 0;
    for (;;) {
        const int introducer = reader.Byte();
        if (introducer < 0 || introducer == ';') break;
        if (introducer == '!') {
            ReadExtension();
        } else if (introducer == ',') {
            if (SkipImage() == Block::Stop) break;
            ++count;
        }
    }

    std::memcpy(controlBlock, savedBlock, sizeof(savedBlock));
    disposal = savedDisposal;
    info.transIndex = savedTrans;
    info.frameDelay = savedDelay;
    reader.Seek(start);
    return count;
}

PxGifCodec::Block PxGifCodec::FailBlock(const char* message) {
    SetLastErrorText(message);
    return Block::Fail;
}

// A damaged extension stops reading; what was decoded so far is the result.
PxGifCodec::Block PxGifCodec::ReadBlock(DecodeState& state) {
    const int introducer = reader.Byte();
    switch (introducer) {
        case -1:
        case ';':
            return Block::Stop;
        case '!':
            return ReadExtension() ? Block::Continue : Block::Stop;
        case ',':
            return ReadImage(state);
        default:
            return Block::Continue;  // stray bytes between blocks
    }
}

// Descriptor, local table and data of an image that is only counted.
PxGifCodec::Block PxGifCodec::SkipImage() {
    BYTE descriptor[9];
    if (reader.Read(descriptor, sizeof(descriptor)) != sizeof(descriptor)) return Block::Stop;
    if (descriptor[8] & 0x80) reader.Skip(3u << ((descriptor[8] & 7) + 1));
    if (reader.Byte() >= 0) SkipSubBlocks();
    return Block::Continue;
}

bool PxGifCodec::ReadTable(BYTE* table, int& size, BYTE flags) {
    const int entries = 1 << ((flags & 7) + 1);
    const std::size_t bytes = 3 * static_cast<std::size_t>(entries);
    const std::size_t got = reader.Read(table, bytes);
    std::memset(table + got, 0, bytes - got);
    size = entries;
    return got == bytes;
}

bool PxGifCodec::ReadExtension() {
    const int label = reader.Byte();
    switch (label) {
        case -1:
            return false;
        case 0xF9:
            return ReadGraphicControl() && SkipSubBlocks();
        case 0xFE:
            return ReadComment();
        case 0xFF:
            return ReadApplication();
        default:
            return SkipSubBlocks();
    }
}

// A control block without the transparent flag makes its frame opaque; a missing
// disposal method counts as 1 (keep the picture).
bool PxGifCodec::ReadGraphicControl() {
    const int size = reader.Byte();
    BYTE block[4];
    if (size < 0 || reader.Read(block, 4) != 4) return false;
    if ((block[0] & 0x1C) == 0) block[0] |= 0x04;
    std::memcpy(controlBlock, block, sizeof(block));
    info.transIndex = (block[0] & 1) ? block[3] : -1;
    info.frameDelay = LoadLE16(block + 1);
    disposal = (block[0] >> 2) & 7;
    return size == 4;
}

// An empty first sub-block is an empty comment and ends the extension.
bool PxGifCodec::ReadComment() {
    const int size = reader.Byte();
    if (size < 0) return false;
    const std::size_t got = reader.Read(reinterpret_cast<BYTE*>(comment), size);
    comment[got] = '\0';
    if (got != static_cast<std::size_t>(size)) return false;
    return size == 0 || SkipSubBlocks();
}

// The loop count sits in a 3-byte first sub-block; other application data (of
// whatever name and length) is skipped.
bool PxGifCodec::ReadApplication() {
    BYTE name[11];
    if (reader.Byte() != 11 || reader.Read(name, sizeof(name)) != sizeof(name)) return false;
    const int size = reader.Byte();
    if (size < 0) return false;
    if (size == 0) return true;
    if (size != 3) {
        reader.Skip(static_cast<std::size_t>(size));
        return SkipSubBlocks();
    }
    BYTE data[3];
    if (reader.Read(data, sizeof(data)) != sizeof(data)) return false;
    loopCount = static_cast<WORD>(data[1] | (data[2] << 8));
    return SkipSubBlocks();
}

// Skips sub-blocks up to the zero-length one; false when the stream ends first.
bool PxGifCodec::SkipSubBlocks() {
    for (;;) {
        const int count = reader.Byte();
        if (count < 0) return false;
        if (count == 0) return true;
        reader.Skip(static_cast<std::size_t>(count));
    }
}
