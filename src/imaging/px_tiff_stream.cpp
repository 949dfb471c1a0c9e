// Client procedures over a PxFile, and per-handle error and warning handlers:
// the library's global handlers would print, and race between threads.
#include "px_tiff_stream.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace {

PxFile* FileOf(thandle_t handle) {
    return static_cast<PxFile*>(handle);
}

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
    if (size <= 0) return 0;
    return static_cast<tmsize_t>(FileOf(handle)->Read(buffer, 1, static_cast<std::size_t>(size)));
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) {
    return 0;
}

// PxFile positions are 32-bit: an offset beyond them is a failed seek.
toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
    const auto delta = static_cast<std::int64_t>(offset);
    if (delta > std::numeric_limits<std::int32_t>::max() ||
        delta < std::numeric_limits<std::int32_t>::min())
        return static_cast<toff_t>(-1);
    PxFile* file = FileOf(handle);
    if (!file->Seek(static_cast<std::int32_t>(delta), whence)) return static_cast<toff_t>(-1);
    const std::int32_t at = file->Tell();
    return at < 0 ? static_cast<toff_t>(-1) : static_cast<toff_t>(at);
}

int CloseProc(thandle_t) {
    return 0;
}

toff_t SizeProc(thandle_t handle) {
    const std::int32_t size = FileOf(handle)->Size();
    return size < 0 ? 0 : static_cast<toff_t>(size);
}

int MapProc(thandle_t, void**, toff_t*) {
    return 0;
}

void UnmapProc(thandle_t, void*, toff_t) {}

int OnError(TIFF*, void* user, const char*, const char* format, va_list args) {
    auto& messages = *static_cast<PxTiffMessages*>(user);
    if (messages.error.empty()) {
        char text[256];
        std::vsnprintf(text, sizeof text, format, args);
        messages.error = text;
    }
    return 1;
}

// Warnings (unknown tags, nonstandard sizes) do not stop a picture.
int OnWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

using Options = std::unique_ptr<TIFFOpenOptions, decltype(&TIFFOpenOptionsFree)>;

}  // namespace

PxTiffHandle PxTiffOpen(PxFile* stream, PxTiffMessages& messages) {
    const Options options(TIFFOpenOptionsAlloc(), &TIFFOpenOptionsFree);
    if (!options) {
        messages.error = "Can't allocate memory";
        return PxTiffHandle(nullptr, &TIFFClose);
    }
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kPxTiffMaxLibraryAlloc);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), &OnError, &messages);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), &OnWarning, nullptr);
    // "m": no memory mapping; the stream is read through the procedures.
    TIFF* tif = TIFFClientOpenExt("picture", "rm", stream, &ReadProc, &WriteProc, &SeekProc,
                                  &CloseProc, &SizeProc, &MapProc, &UnmapProc, options.get());
    if (!tif && messages.error.empty()) messages.error = "Not a TIFF file";
    return PxTiffHandle(tif, &TIFFClose);
}
