// PNG pictures through libpng: the decoder composites transparency the way the
// wizard draws it, the encoder writes palette, RGB and RGBA files. With the load
// options, the eXIf orientation is reported and an iCCP profile converts the
// colours to sRGB.
#pragma once

#include "px_file.h"
#include "px_image.h"
#include "px_load_options.h"

struct PxPngReadState;
struct PxPngWriteState;

class PxPngCodec : public PxImage, public PxDecodeSettings {
public:
    PxPngCodec() : PxImage(PX_FORMAT_PNG) {}

    bool Decode(PxFile* stream);
    bool Encode(PxFile* stream);

private:
    // Everything between the recovery point and the end of a decode or encode;
    // a library error jumps back out of these, so they hold no object with a
    // destructor.
    bool DecodeGuarded(PxPngReadState& s, PxFile* stream);
    bool ReadPicture(PxPngReadState& s, PxFile* stream);
    bool StartReading(PxPngReadState& s, PxFile* stream);
    bool CreateFromHeader(PxPngReadState& s);
    int StartRows(PxPngReadState& s);
    bool CheckDimensions(PxPngReadState& s, PxFile* stream);
    void SetupBackground(PxPngReadState& s);
    void ReadPalette(PxPngReadState& s, int bitsPerPixel);
    void ReadPaletteAlpha(PxPngReadState& s);
    bool ReadRows(PxPngReadState& s, int passes);
    void LoadAlphaRow(const PxPngReadState& s, LONG y) const;
    void StoreAlphaRow(const PxPngReadState& s, LONG y);
    void StoreRow(const PxPngReadState& s, LONG y, bool lastPass);
    void ReadDeepRow(PxPngReadState& s, LONG j, bool lastPass);

    void ReadOrientation(const PxPngReadState& s);
    void ReadProfile(PxPngReadState& s) const;
    void SetupFullDepth(PxPngReadState& s);
    bool CheckFullDepthRows(PxPngReadState& s, int passes);
    void ConvertPalette(const PxPngReadState& s);
    void ConvertPixels(const PxPngReadState& s);
    void StoreDeepRow(const PxPngReadState& s, const BYTE* row, LONG y);

    bool EncodeGuarded(PxPngWriteState& s, PxFile* stream);
    bool WritePicture(PxPngWriteState& s, PxFile* stream);
    void WritePalette(PxPngWriteState& s);
    bool WriteRows(PxPngWriteState& s);
    void FillRgbaRow(const PxPngWriteState& s, LONG y) const;
};
