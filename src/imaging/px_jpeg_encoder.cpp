// JPEG writing: grey-ramp pictures as one grey component, 24-bit pictures as RGB,
// at the picture's JPEG quality and resolution.
#include <algorithm>
#include <cstring>

#include "px_jpeg_codec.h"
#include "px_jpeg_stream.h"

// Plain data: a library error jumps over every frame that uses it.
struct PxJpegWriteState {
    PxJpegError error;
    jpeg_compress_struct cinfo;
    PxJpegDestination destination;
};

namespace {

UINT16 Density(LONG dpi) {
    return static_cast<UINT16>(std::clamp<LONG>(dpi, 0, 65535));
}

}  // namespace

// Only 8-bit grey-ramp pictures are one byte a sample; any other palette picture
// is refused.
bool PxJpegCodec::Encode(PxFile* stream) {
    if (!stream) return false;
    if (!IsValid()) {
        SetLastErrorText("Invalid image");
        return false;
    }
    if (IsIndexed() && !(GetBpp() == 8 && IsGrayScale())) {
        SetLastErrorText("JPEG can save only RGB or GreyScale images");
        return false;
    }
    PxJpegWriteState s{};
    const bool ok = EncodeGuarded(s, stream);
    jpeg_destroy_compress(&s.cinfo);
    if (!ok) SetLastErrorText(s.error.message);
    return ok;
}

// The recovery point: a library error comes back here with its message set.
bool PxJpegCodec::EncodeGuarded(PxJpegWriteState& s, PxFile* stream) {
    s.cinfo.err = PxJpegErrorHook(s.error);
    if (setjmp(s.error.recovery)) return false;
    jpeg_create_compress(&s.cinfo);
    PxJpegWriteTo(&s.cinfo, s.destination, stream);
    return WritePicture(s);
}

bool PxJpegCodec::WritePicture(PxJpegWriteState& s) {
    jpeg_compress_struct& cinfo = s.cinfo;
    const bool grey = IsIndexed();
    cinfo.image_width = GetWidth();
    cinfo.image_height = GetHeight();
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, info.jpegQuality, TRUE);
    cinfo.density_unit = 1;
    cinfo.X_density = Density(info.xDpi);
    cinfo.Y_density = Density(info.yDpi);
    jpeg_start_compress(&cinfo, TRUE);

    JSAMPARRAY buffer = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                   JPOOL_IMAGE, info.effWidth + 8, 1);
    while (cinfo.next_scanline < cinfo.image_height) {
        const LONG y = static_cast<LONG>(GetHeight() - 1 - cinfo.next_scanline);
        std::memcpy(buffer[0], RowAt(y), info.effWidth);
        RGBtoBGR(buffer[0], static_cast<LONG>(info.effWidth));
        if (jpeg_write_scanlines(&cinfo, buffer, 1) != 1) break;
    }
    jpeg_finish_compress(&cinfo);
    return true;
}
