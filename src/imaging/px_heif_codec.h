// HEIF, HEIC and AVIF pictures through libheif: the primary image (or a thumbnail
// large enough for the caller), with its alpha, as 24-bit rows.
#pragma once

#include "px_file.h"
#include "px_image.h"
#include "px_load_options.h"

struct heif_error;
struct heif_image;
struct heif_image_handle;
class PxColorToSrgb;

class PxHeifCodec : public PxImage, public PxDecodeSettings {
public:
    PxHeifCodec() : PxImage(PX_FORMAT_HEIF) {}

    // The file's own rotation, mirroring and crop are applied with
    // LoadOptions().upright and left out otherwise; Orientation() stays 1, as the
    // EXIF orientation some files carry says again what those already do.
    bool Decode(PxFile* stream);

private:
    bool DecodeBytes(const unsigned char* data, std::size_t size);
    bool DecodeHandle(const heif_image_handle* handle);
    bool CheckSize(const heif_image_handle* handle);
    PxColorToSrgb ProfileConversion(const heif_image_handle* handle, bool alpha, int bits) const;

    bool StorePicture(heif_image* picture, bool alpha, int bits, const PxColorToSrgb& toSrgb);
    bool StoreRows8(const BYTE* plane, int stride, bool alpha, const PxColorToSrgb& toSrgb);
    bool StoreRowsDeep(const BYTE* plane, int stride, bool alpha, int bits,
                       const PxColorToSrgb& toSrgb);
    void UnpremultiplyAlpha();

    bool Fail(const char* text);
    bool Fail(const heif_error& error);
};
