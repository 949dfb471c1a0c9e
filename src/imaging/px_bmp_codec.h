// Windows bitmap files: reads every common variant, writes uncompressed files that
// are the DIB block behind a 14-byte file header.
#pragma once

#include "px_file.h"
#include "px_image.h"

class PxBmpCodec : public PxImage {
public:
    PxBmpCodec() : PxImage(PX_FORMAT_BMP) {}

    bool Decode(PxFile* stream);
    bool Encode(PxFile* stream);

private:
    struct Layout;
    bool Fail(const char* message);
    bool ReadHeaders(PxFile* stream, Layout& layout);
    bool ReadPalette(PxFile* stream, const Layout& layout);
    bool ReadMasks(PxFile* stream, Layout& layout);
    bool ReadPixels(PxFile* stream, const Layout& layout);
    bool ReadBitfieldPixels(PxFile* stream, const Layout& layout);
    void ReadRows(PxFile* stream, std::size_t bytes);
    void MaskedToRGB(const BYTE* src, const DWORD masks[3]);
    void DecodeRle(PxFile* stream, bool fourBit);
    template <class Put>
    static bool ReadAbsoluteRun(PxFile* stream, int pixels, bool fourBit, Put& put);
};
