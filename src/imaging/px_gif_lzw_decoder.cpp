// The code stream of one GIF frame: variable-width LZW codes in sub-blocks, turned
// into lines of indices and stored top-down or in the four interlace passes.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "px_gif_codec.h"

namespace {

constexpr int kMaxCodes = 4096;
constexpr int kMaxWidth = 12;

}  // namespace

// Decodes into the picture just created. Returns 0 when the codes or the data
// ended, -1 when a line fell beyond the last row, -2 for a prefix chain longer than
// the table, -10 when the line buffer could not be had, -20 for a code size outside
// 2 to 9. Rows no code reached get the fill index, so no byte stays unset.
int PxGifCodec::DecodeLzw(bool interlacedFrame) {
    blocksEnded = streamEnded = false;
    interlaced = interlacedFrame;
    frameHeight = static_cast<LONG>(GetHeight());
    nextRow = 0;
    rowStep = 8;
    pass = 1;
    cursor.Reset(*this);

    const DWORD width = GetWidth();
    std::unique_ptr<BYTE[]> line(new (std::nothrow) BYTE[width + 1]);
    DWORD pending = 0;
    const int result = line ? RunCodes(line.get(), pending) : -10;
    FinishFrame(line.get(), pending);
    return result;
}

// Code size, clear and end codes and empty tables for a frame's code stream.
void PxGifCodec::StartCodes(int size) {
    codeSize = size;
    clearCode = 1 << size;
    endCode = clearCode + 1;
    firstFree = nextFree = clearCode + 2;
    codeWidth = size + 1;
    slotLimit = 1 << (size + 1);
    std::memset(suffix, 0, sizeof(suffix));
    std::memset(prefix, 0, sizeof(prefix));
    bytesLeft = 0;
    badCodes = 0;
}

int PxGifCodec::RunCodes(BYTE* line, DWORD& pending) {
    const int size = reader.Byte();
    if (size < 0) streamEnded = true;
    if (size < 2 || size > 9) return -20;
    StartCodes(size);

    // The hot state lives in locals so stores into the line cannot alias it.
    std::uint32_t bits = 0;
    int held = 0, left = 0, width = codeWidth, free = nextFree, limit = slotLimit;
    const BYTE* in = subBlock;
    auto readCode = [&]() -> int {
        while (held < width) {
            if (left == 0) {
                if (!NextSubBlock()) return -1;
                in = subBlock;
                left = bytesLeft;
            }
            bits |= std::uint32_t{*in++} << held;
            held += 8;
            --left;
        }
        const int code = static_cast<int>(bits & ((1u << width) - 1));
        bits >>= width;
        held -= width;
        return code;
    };
    const DWORD lineWidth = GetWidth();
    auto put = [&](BYTE index) {
        line[pending++] = index;
        return pending < lineWidth || (pending = 0, StoreLine(line));
    };

    int previous = 0, first = 0;
    bool fresh = true;  // the first code, like one after a clear, adds no string
    for (;;) {
        int code = readCode();
        if (code < 0 || code == endCode) return 0;
        if (code == clearCode || fresh) {
            if (code == clearCode) {
                width = codeSize + 1;
                free = firstFree;
                limit = 1 << width;
                do {
                    code = readCode();
                } while (code == clearCode);
                if (code < 0 || code == endCode) return 0;
            }
            fresh = false;
            if (code >= free) code = 0;
            previous = first = code;
            if (!put(static_cast<BYTE>(code))) return -1;
            continue;
        }
        BYTE* top = stack;
        int current = code;
        if (code >= free) {
            if (code > free) ++badCodes;
            *top++ = static_cast<BYTE>(first);
            current = previous;
        }
        while (current >= firstFree) {
            if (top - stack >= kMaxCodes) return -2;
            *top++ = suffix[current];
            current = prefix[current];
        }
        first = current;
        *top++ = static_cast<BYTE>(current);
        if (free < limit) {
            suffix[free] = static_cast<BYTE>(first);
            prefix[free] = static_cast<WORD>(previous);
            ++free;
            previous = code;
        }
        if (free >= limit && width < kMaxWidth) {
            limit <<= 1;
            ++width;
        }
        // The string comes off the stack last character first, in line-sized pieces.
        while (top > stack) {
            const DWORD n = std::min<DWORD>(static_cast<DWORD>(top - stack), lineWidth - pending);
            BYTE* out = line + pending;
            for (DWORD i = 0; i < n; ++i)
                out[i] = *--top;
            pending += n;
            if (pending == lineWidth) {
                pending = 0;
                if (!StoreLine(line)) return -1;
            }
        }
    }
}

// A zero-length sub-block ends the data like the end code; a stream that ends
// inside the data ends the frame.
bool PxGifCodec::NextSubBlock() {
    const int count = reader.Byte();
    if (count < 0) streamEnded = true;
    if (count == 0) blocksEnded = true;
    if (count <= 0) return false;
    bytesLeft = static_cast<int>(reader.Read(subBlock, static_cast<std::size_t>(count)));
    if (bytesLeft == 0) streamEnded = true;
    return bytesLeft > 0;
}

// The next row to fill, counted from the top: straight down, or pass by pass
// (every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1).
bool PxGifCodec::NextRow(LONG& topRow) {
    if (!interlaced) {
        if (cursor.AtEnd()) return false;
        topRow = frameHeight - 1 - cursor.y;
        cursor.Next();
        return true;
    }
    while (nextRow >= frameHeight) {
        if (pass >= 4) return false;
        if (pass > 1) rowStep /= 2;
        nextRow = rowStep / 2;
        ++pass;
    }
    topRow = nextRow;
    nextRow += rowStep;
    return true;
}

// 1 and 4 bpp lines are packed (first pixel in the high bits); the row's padding
// is zeroed.
bool PxGifCodec::StoreLine(const BYTE* line) {
    LONG topRow = 0;
    if (!NextRow(topRow)) return false;
    BYTE* row = RowAt(frameHeight - 1 - topRow);
    const DWORD width = GetWidth(), stride = GetEffWidth();
    DWORD used = width;
    switch (GetBpp()) {
        case 1:
            used = (width + 7) / 8;
            std::memset(row, 0, used);
            for (DWORD x = 0; x < width; ++x)
                row[x >> 3] |= static_cast<BYTE>((line[x] & 1) << (7 - (x & 7)));
            break;
        case 4:
            used = (width + 1) / 2;
            for (DWORD x = 0; x + 1 < width; x += 2)
                row[x >> 1] = static_cast<BYTE>((line[x] << 4) | (line[x + 1] & 0x0F));
            if (width & 1) row[width >> 1] = static_cast<BYTE>(line[width - 1] << 4);
            break;
        default:
            std::memcpy(row, line, width);
            break;
    }
    std::memset(row + used, 0, stride - used);
    return true;
}

// The pixels and rows the data did not reach take the fill index: the frame's
// transparent index when it has one, so they show what lies beneath, else 0.
void PxGifCodec::FinishFrame(BYTE* line, DWORD pending) {
    const BYTE fill = info.transIndex >= 0 ? static_cast<BYTE>(info.transIndex) : 0;
    if (line && pending > 0) {
        std::memset(line + pending, fill, GetWidth() - pending);
        if (!StoreLine(line)) return;
    }
    BYTE pattern = fill;
    if (GetBpp() == 4) pattern = static_cast<BYTE>((fill & 0x0F) * 0x11);
    if (GetBpp() == 1) pattern = (fill & 1) ? 0xFF : 0x00;
    LONG topRow = 0;
    while (NextRow(topRow))
        std::memset(RowAt(frameHeight - 1 - topRow), pattern, GetEffWidth());
}
