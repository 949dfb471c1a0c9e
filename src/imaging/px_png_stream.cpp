#include "px_png_stream.h"

#include <cstdio>

#include "px_image.h"

namespace {

// Ancillary chunks are not used by the codec: a few are kept, none may be big.
constexpr png_uint_32 kChunkCacheMax = 128;
constexpr std::size_t kChunkMallocMax = 1u << 20;

void OnError(png_structp png, png_const_charp message) {
    auto* failure = static_cast<PxPngFailure*>(png_get_error_ptr(png));
    PxPngFail(*failure, message);
    std::longjmp(failure->recovery, 1);
}

// Warnings change nothing in the picture, and the library never prints.
void OnWarning(png_structp, png_const_charp) {}

void ReadData(png_structp png, png_bytep data, png_size_t length) {
    auto* stream = static_cast<PxFile*>(png_get_io_ptr(png));
    if (stream->Read(data, 1, length) != length) png_error(png, "Read Error");
}

void WriteData(png_structp png, png_bytep data, png_size_t length) {
    auto* stream = static_cast<PxFile*>(png_get_io_ptr(png));
    if (stream->Write(data, 1, length) != length) png_error(png, "Write Error");
}

void FlushData(png_structp png) {
    auto* stream = static_cast<PxFile*>(png_get_io_ptr(png));
    if (!stream->Flush()) png_error(png, "Flush Error");
}

}  // namespace

bool PxPngFail(PxPngFailure& failure, const char* message) {
    std::snprintf(failure.message, sizeof failure.message, "%s", message ? message : "");
    return false;
}

// The header version we were built with goes to the library, which checks at run
// time that it can serve it.
png_structp PxPngCreateReader(PxPngFailure& failure) {
    return png_create_read_struct(PNG_LIBPNG_VER_STRING, &failure, OnError, OnWarning);
}

png_structp PxPngCreateWriter(PxPngFailure& failure) {
    return png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, OnError, OnWarning);
}

void PxPngSetLimits(png_structp png) {
    png_set_user_limits(png, static_cast<png_uint_32>(kPxMaxPixels),
                        static_cast<png_uint_32>(kPxMaxPixels));
    png_set_chunk_cache_max(png, kChunkCacheMax);
    png_set_chunk_malloc_max(png, kChunkMallocMax);
}

void PxPngReadFrom(png_structp png, PxFile* stream) {
    png_set_read_fn(png, stream, ReadData);
}

void PxPngWriteTo(png_structp png, PxFile* stream) {
    png_set_write_fn(png, stream, WriteData, FlushData);
}
