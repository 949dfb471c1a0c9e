// TIFF files opened on a PxFile, with this handle's own message handlers.
#pragma once

#include <tiffio.h>

#include <memory>
#include <string>

#include "px_file.h"

// What the library said while reading one file; the first error is the cause the
// caller reports.
struct PxTiffMessages {
    std::string error;
};

using PxTiffHandle = std::unique_ptr<TIFF, decltype(&TIFFClose)>;

// The file's first directory, read from the stream's current position onward.
// Empty on failure, with `messages.error` set; `messages` must outlive the handle.
PxTiffHandle PxTiffOpen(PxFile* stream, PxTiffMessages& messages);

// The most one allocation of the library may take; strips and tiles beyond it are
// refused.
constexpr tmsize_t kPxTiffMaxLibraryAlloc = tmsize_t{256} << 20;
