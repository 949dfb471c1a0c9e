#include "px_png_stream.h"

#include <cstdio>
#include <cstring>

#include "px_image.h"

// The chunk screening needs the library to tell a header read and to pass a type over.
#if !defined(PNG_IO_STATE_SUPPORTED) || !defined(PNG_HANDLE_AS_UNKNOWN_SUPPORTED)
#error "libpng without I/O states or per-chunk handling cannot bound what chunks declare"
#endif

namespace {

// Ancillary chunks are not used by the codec: a few are kept, none may be big.
// The library allocates what a chunk declares before it reads a byte of it (and
// its own cap is only a warning when reading), so the caps hold on the declared
// length; a colour profile may be larger than the rest.
constexpr png_uint_32 kChunkCacheMax = 128;
constexpr png_uint_32 kChunkCap = 1u << 20;
constexpr png_uint_32 kProfileCap = 4u << 20;
// What the library may inflate a profile into.
constexpr std::size_t kChunkMallocMax = kProfileCap;
// Texts and suggested palettes never reach the picture: passed over, they cost
// neither memory nor time however many a file holds. Exif is read only for its
// orientation, under the common cap.
constexpr const char* kNeverRead[] = {"tEXt", "zTXt", "iTXt", "sPLT"};

bool SameType(const png_byte* a, const char* b) {
    return std::memcmp(a, b, 4) == 0;
}

bool NeverRead(const PxPngSource& source, const png_byte* type) {
    if (SameType(type, "eXIf")) return !source.readExif;
    for (const char* name : kNeverRead)
        if (SameType(type, name)) return true;
    return false;
}

png_uint_32 CapOf(const png_byte* type) {
    return SameType(type, "iCCP") ? kProfileCap : kChunkCap;
}

// A type the previous header made the library skip goes back to its handling.
void RestoreSkipped(png_structp png, PxPngSource& source) {
    if (source.skipped[0] == 0) return;
    png_set_keep_unknown_chunks(png, source.skippedKeep, source.skipped, 1);
    source.skipped[0] = 0;
}

// `header` is the length (big-endian) and the type of the chunk that follows.
// The library consults its chunk handling only after this read, so a type set to
// "never" here is passed over without being read or allocated.
void ScreenChunk(png_structp png, PxPngSource& source, const png_byte* header) {
    RestoreSkipped(png, source);
    const png_byte* type = header + 4;
    const png_uint_32 length = png_get_uint_32(header);
    const bool ancillary = (type[0] & 0x20) != 0;
    if (!ancillary || (!NeverRead(source, type) && length <= CapOf(type))) return;
    std::memcpy(source.skipped, type, 4);
    source.skipped[4] = 0;
    source.skippedKeep = png_handle_as_unknown(png, source.skipped);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, source.skipped, 1);
}

void OnError(png_structp png, png_const_charp message) {
    auto* failure = static_cast<PxPngFailure*>(png_get_error_ptr(png));
    PxPngFail(*failure, message);
    std::longjmp(failure->recovery, 1);
}

// Warnings change nothing in the picture, and the library never prints.
void OnWarning(png_structp, png_const_charp) {}

// A chunk header is always read in one call of 8 bytes.
void ReadData(png_structp png, png_bytep data, png_size_t length) {
    auto* source = static_cast<PxPngSource*>(png_get_io_ptr(png));
    if (source->stream->Read(data, 1, length) != length) png_error(png, "Read Error");
    if ((png_get_io_state(png) & PNG_IO_CHUNK_HDR) != 0 && length == 8)
        ScreenChunk(png, *source, data);
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

void PxPngReadFrom(png_structp png, PxPngSource& source, PxFile* stream, bool readExif) {
    source.stream = stream;
    source.readExif = readExif;
    source.skipped[0] = 0;
    png_set_read_fn(png, &source, ReadData);
}

void PxPngWriteTo(png_structp png, PxFile* stream) {
    png_set_write_fn(png, stream, WriteData, FlushData);
}
