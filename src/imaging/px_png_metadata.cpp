// The orientation a PNG declares in its eXIf chunk, before or after the pixels.
#include "px_exif.h"
#include "px_png_codec.h"
#include "px_png_read_state.h"

void PxPngCodec::ReadOrientation(const PxPngReadState& s) {
    png_bytep exif = nullptr;
    png_uint_32 size = 0;
    if (png_get_eXIf_1(s.png, s.info, &size, &exif) && exif)
        SetOrientation(PxExifOrientation(exif, size));
}
