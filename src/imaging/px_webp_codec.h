// WebP pictures through libwebp: the still picture, or the first frame of an
// animation composited on its canvas; 24 bits, with an alpha plane when the file
// has alpha. Decoding only.
#pragma once

#include <webp/decode.h>
#include <webp/demux.h>

#include "px_file.h"
#include "px_image.h"
#include "px_load_options.h"

// The size a still picture of width x height is decoded at so that its longer side
// keeps at least `side` pixels, proportions kept; the full size for side 0 or a
// picture no larger than that.
void PxWebpScaledSize(int width, int height, DWORD side, int& scaledWidth, int& scaledHeight);

// libwebp's status as a short message.
const char* PxWebpStatusText(VP8StatusCode status);

class PxWebpCodec : public PxImage, public PxDecodeSettings {
public:
    PxWebpCodec() : PxImage(PX_FORMAT_WEBP) {}

    bool Decode(PxFile* stream);

private:
    bool DecodeData(const WebPData& data);
    bool DecodeStill(const WebPData& data, const WebPBitstreamFeatures& features);
    bool DecodeFirstFrame(const WebPData& data, bool withAlpha);
    bool StoreBgra(const uint8_t* pixels, int stride, bool withAlpha);
    bool ApplyMetadata(const WebPData& data);
    bool Fail(const char* text);
    bool Fail(VP8StatusCode status) { return Fail(PxWebpStatusText(status)); }
};
