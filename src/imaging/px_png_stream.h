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

// What the reader reads from, and the chunk it told the library to pass over.
// Plain data, like the failure.
struct PxPngSource {
    PxFile* stream;
    bool readExif;        // eXIf is passed over unless the orientation is wanted
    png_byte skipped[5];  // the chunk's type, zero-terminated; empty when none
    int skippedKeep;      // how the library handled that type before
};

// Every chunk header passes a check before the library sees it: an ancillary
// chunk the picture never needs, or one that declares more than its cap, is
// skipped unread, so what a chunk declares never becomes an allocation.
void PxPngReadFrom(png_structp png, PxPngSource& source, PxFile* stream, bool readExif);
void PxPngWriteTo(png_structp png, PxFile* stream);
