// libpng's side of the PNG codec: stream callbacks over PxFile, the hooks that
// carry a library error back to the codec's recovery point, and the limits that
// keep hostile files small.
#pragma once

// png.h first: older libpng headers refuse a setjmp.h included before them.
#include <png.h>

#include <csetjmp>

#include "px_file.h"

// Where a library error goes: the hook copies the message here and jumps to
// `recovery`. Plain data only, so that nothing needs destroying when it jumps.
struct PxPngFailure {
    std::jmp_buf recovery;
    char message[256];
};

// Records a failure of the codec's own; returns false for `return Fail(...)`.
bool PxPngFail(PxPngFailure& failure, const char* message);

// Read and write structures whose errors go to `failure`; null when the library
// cannot make one.
png_structp PxPngCreateReader(PxPngFailure& failure);
png_structp PxPngCreateWriter(PxPngFailure& failure);

// The pixel cap of the image object and bounds on ancillary chunks.
void PxPngSetLimits(png_structp png);

void PxPngReadFrom(png_structp png, PxFile* stream);
void PxPngWriteTo(png_structp png, PxFile* stream);
