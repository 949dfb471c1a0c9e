// WebP reading: the whole file in memory (the library decodes from a buffer),
// then either a still picture or the first frame of an animation.
#include "px_webp_codec.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "px_color_profile.h"
#include "px_exif.h"
#include "px_stream_bytes.h"

namespace {

constexpr const char* kCancelled = "Cancelled";
constexpr const char* kNoMemory = "Can't allocate memory";

using Demuxer = std::unique_ptr<WebPDemuxer, decltype(&WebPDemuxDelete)>;
using AnimDecoder = std::unique_ptr<WebPAnimDecoder, decltype(&WebPAnimDecoderDelete)>;

// A chunk of the container (EXIF, ICCP), empty when missing. Its bytes belong to
// the file's buffer.
WebPData ChunkOf(WebPDemuxer* demux, const char* fourcc) {
    WebPChunkIterator chunk;
    WebPData found{nullptr, 0};
    if (WebPDemuxGetChunk(demux, fourcc, 1, &chunk)) found = chunk.chunk;
    WebPDemuxReleaseChunkIterator(&chunk);
    return found;
}

}  // namespace

const char* PxWebpStatusText(VP8StatusCode status) {
    switch (status) {
        case VP8_STATUS_OK:
            return "";
        case VP8_STATUS_OUT_OF_MEMORY:
            return "WebP: out of memory";
        case VP8_STATUS_INVALID_PARAM:
            return "WebP: invalid parameter";
        case VP8_STATUS_BITSTREAM_ERROR:
            return "WebP: bitstream error";
        case VP8_STATUS_UNSUPPORTED_FEATURE:
            return "WebP: unsupported feature";
        case VP8_STATUS_SUSPENDED:
            return "WebP: suspended";
        case VP8_STATUS_USER_ABORT:
            return kCancelled;
        case VP8_STATUS_NOT_ENOUGH_DATA:
            return "WebP: not enough data";
    }
    return "WebP: unknown error";
}

void PxWebpScaledSize(int width, int height, DWORD side, int& scaledWidth, int& scaledHeight) {
    scaledWidth = width;
    scaledHeight = height;
    const int longer = std::max(width, height);
    if (side == 0 || longer <= 0 || static_cast<DWORD>(longer) <= side) return;
    // Rounded, but never below one pixel.
    auto scale = [&](int length) {
        const std::uint64_t scaled = (std::uint64_t{static_cast<std::uint32_t>(length)} * side +
                                      static_cast<std::uint32_t>(longer) / 2) /
                                     static_cast<std::uint32_t>(longer);
        return static_cast<int>(std::max<std::uint64_t>(scaled, 1));
    };
    scaledWidth = scale(width);
    scaledHeight = scale(height);
}

bool PxWebpCodec::Decode(PxFile* stream) {
    if (!stream) return Fail("Read Error");
    std::vector<unsigned char> bytes;
    std::string error;
    if (!PxReadStreamBytes(stream, kPxMaxWholeFile, bytes, error)) return Fail(error.c_str());
    return DecodeData(WebPData{bytes.data(), bytes.size()});
}

bool PxWebpCodec::Fail(const char* text) {
    SetLastErrorText(text);
    return false;
}

bool PxWebpCodec::DecodeData(const WebPData& data) {
    WebPBitstreamFeatures features;
    const VP8StatusCode status = WebPGetFeatures(data.bytes, data.size, &features);
    if (status != VP8_STATUS_OK) return Fail(status);
    // For an animation these are the canvas's sides.
    if (std::uint64_t{static_cast<std::uint32_t>(features.width)} *
            static_cast<std::uint32_t>(features.height) >
        kPxMaxPixels)
        return Fail("WebP image is too large");
    const bool ok = features.has_animation ? DecodeFirstFrame(data, features.has_alpha)
                                           : DecodeStill(data, features);
    return ok && ApplyMetadata(data);
}

bool PxWebpCodec::DecodeStill(const WebPData& data, const WebPBitstreamFeatures& features) {
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) return Fail(VP8_STATUS_INVALID_PARAM);
    int width = 0;
    int height = 0;
    PxWebpScaledSize(features.width, features.height, LoadOptions().minimumLongerSide, width,
                     height);
    if (width != features.width || height != features.height) {
        config.options.use_scaling = 1;
        config.options.scaled_width = width;
        config.options.scaled_height = height;
    }
    if (!Create(static_cast<DWORD>(width), static_cast<DWORD>(height), 24, PX_FORMAT_WEBP))
        return Fail(kNoMemory);
    WebPDecBuffer& out = config.output;
    const std::unique_ptr<WebPDecBuffer, decltype(&WebPFreeDecBuffer)> owned(&out,
                                                                             &WebPFreeDecBuffer);
    if (!features.has_alpha) {
        // Straight into the image: flipped into its bottom-up rows, blue first.
        out.colorspace = MODE_BGR;
        out.is_external_memory = 1;
        out.u.RGBA.rgba = GetBits();
        out.u.RGBA.stride = static_cast<int>(GetEffWidth());
        out.u.RGBA.size = std::size_t{GetEffWidth()} * GetHeight();
        config.options.flip = 1;
        const VP8StatusCode status = WebPDecode(data.bytes, data.size, &config);
        return status == VP8_STATUS_OK || Fail(status);
    }
    out.colorspace = MODE_BGRA;
    const VP8StatusCode status = WebPDecode(data.bytes, data.size, &config);
    if (status != VP8_STATUS_OK) return Fail(status);
    return StoreBgra(out.u.RGBA.rgba, out.u.RGBA.stride, true);
}

// The animation decoder composites each frame on the canvas; the first is enough.
bool PxWebpCodec::DecodeFirstFrame(const WebPData& data, bool withAlpha) {
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) return Fail(VP8_STATUS_INVALID_PARAM);
    options.color_mode = MODE_BGRA;
    options.use_threads = 0;
    const AnimDecoder decoder(WebPAnimDecoderNew(&data, &options), &WebPAnimDecoderDelete);
    if (!decoder) return Fail(VP8_STATUS_BITSTREAM_ERROR);
    WebPAnimInfo anim;
    if (!WebPAnimDecoderGetInfo(decoder.get(), &anim)) return Fail(VP8_STATUS_BITSTREAM_ERROR);
    if (!Create(anim.canvas_width, anim.canvas_height, 24, PX_FORMAT_WEBP)) return Fail(kNoMemory);
    uint8_t* canvas = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.get(), &canvas, &timestamp))
        return Fail(VP8_STATUS_BITSTREAM_ERROR);
    SetNumFrames(static_cast<LONG>(anim.frame_count));
    return StoreBgra(canvas, static_cast<int>(anim.canvas_width * 4), withAlpha);
}

// Top-down blue, green, red, alpha pixels into the bottom-up rows and the alpha plane.
bool PxWebpCodec::StoreBgra(const uint8_t* pixels, int stride, bool withAlpha) {
    if (withAlpha && !AlphaCreate()) return Fail(kNoMemory);
    const auto height = static_cast<LONG>(GetHeight());
    const auto width = static_cast<LONG>(GetWidth());
    for (LONG line = 0; line < height; ++line) {
        if (info.escape) return Fail(kCancelled);
        const uint8_t* in = pixels + static_cast<std::ptrdiff_t>(line) * stride;
        const LONG y = height - 1 - line;
        BYTE* row = RowAt(y);
        for (LONG x = 0; x < width; ++x, in += 4, row += 3) {
            row[0] = in[0];
            row[1] = in[1];
            row[2] = in[2];
            if (withAlpha) AlphaSet(x, y, in[3]);
        }
    }
    return true;
}

// The orientation the EXIF chunk declares and, when asked, the colours through
// the ICC chunk; a file the demuxer cannot follow (a truncated tail the decoder
// got past) simply has neither.
bool PxWebpCodec::ApplyMetadata(const WebPData& data) {
    const Demuxer demux(WebPDemux(&data), &WebPDemuxDelete);
    if (!demux) return true;
    const WebPData exif = ChunkOf(demux.get(), "EXIF");
    if (exif.size) SetOrientation(PxExifOrientation(exif.bytes, exif.size));
    const WebPData icc = LoadOptions().toSrgb ? ChunkOf(demux.get(), "ICCP") : WebPData{nullptr, 0};
    if (!icc.size) return true;
    const PxColorToSrgb convert(icc.bytes, icc.size, PxPixelLayout::Bgr8);
    if (!convert) return true;
    for (LONG y = 0; y < static_cast<LONG>(GetHeight()); ++y) {
        if (info.escape) return Fail(kCancelled);
        convert.ConvertRow(RowAt(y), RowAt(y), GetWidth());
    }
    return true;
}
