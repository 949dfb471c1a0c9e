// GIF pictures: still and animated, any frame in; still, tiled and animated out.
#pragma once

#include <cstdint>

#include "px_file.h"
#include "px_gif_reader.h"
#include "px_image.h"
#include "px_row_cursor.h"

class PxGifCodec : public PxImage {
public:
    PxGifCodec();

    bool Decode(PxFile* stream);
    bool Encode(PxFile* stream);
    bool Encode(PxFile* stream, PxImage** images, int count);

    WORD GetLoopCount() const { return loopCount; }
    void SetLoopCount(WORD count) { loopCount = count; }
    int GetDisposal() const { return disposal; }
    void SetDisposal(int method) { disposal = method; }
    const char* GetComment() const { return comment; }
    void SetComment(const char* text);

private:
    struct DecodeState;
    enum class Block { Continue, Stop, Fail };

    // Reading the file's structure.
    bool Fail(const char* message);
    Block FailBlock(const char* message);
    LONG CountFrames();
    Block ReadBlock(DecodeState& state);
    bool ReadExtension();
    bool ReadGraphicControl();
    bool ReadComment();
    bool ReadApplication();
    bool SkipSubBlocks();
    bool ReadTable(BYTE* table, int& size, BYTE flags);
    Block ReadImage(DecodeState& state);
    Block SkipImage();
    void ApplyPalette(const BYTE* table, int size);
    void KeepPicture(PxImage& into);
    void AdoptPicture(PxImage& from);
    void CompositeOnto(PxImage& previous, LONG left, LONG top);
    bool PaintOnCanvas(DecodeState& state, LONG left, LONG top);

    // The code stream of one frame.
    int DecodeLzw(bool interlaced);
    void StartCodes(int size);
    int RunCodes(BYTE* line, DWORD& pending);
    bool NextSubBlock();
    bool StoreLine(const BYTE* line);
    bool NextRow(LONG& topRow);
    void FinishFrame(BYTE* line, DWORD pending);

    // Writing.
    bool WriteStill(PxFile* stream);
    bool WriteTiled(PxFile* stream);
    bool WriteHeader(PxFile* stream, const PxImage& image, bool withTable);
    bool WriteGraphicControl(PxFile* stream, const PxImage& image);
    bool WriteImage(PxFile* stream, const PxImage& image, bool localTable);
    bool WriteComment(PxFile* stream);
    bool WriteLoopExtension(PxFile* stream);
    bool MakeTile(PxImage& tile, LONG left, LONG top);
    bool FitsFile(const PxImage& image);
    bool IsAnimationFrame(const PxImage& image);

    // The codec's own fields, zero whenever the dispatch makes a codec object.
    BYTE controlBlock[4];
    int disposal;
    WORD loopCount;
    char comment[256];

    // Interlace state.
    bool interlaced;
    LONG nextRow;  // counted from the top
    LONG rowStep;
    LONG frameHeight;
    int pass;
    RowCursor cursor;

    PxGifReader reader;

    // Code reader state (the bit reader itself runs on locals in RunCodes).
    int codeSize;
    int codeWidth;
    int clearCode;
    int endCode;
    int firstFree;
    int nextFree;
    int slotLimit;
    int bytesLeft;     // of the sub-block just read
    bool blocksEnded;  // the zero-length sub-block ending the data has been read
    bool streamEnded;
    DWORD badCodes;
    BYTE subBlock[256];
    BYTE stack[4096 + 2];
    BYTE suffix[4096];
    WORD prefix[4096];
};
