// libjpeg's side of the JPEG codec: a source and a destination manager over
// PxFile and the error manager that carries a library error back to the codec's
// recovery point.
#pragma once

// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <csetjmp>

#include "px_file.h"

constexpr std::size_t kPxJpegBufferSize = 4096;

// The standard error manager with the fatal-error routine replaced: the library's
// message is kept here and control jumps to `recovery`. Plain data, so that
// nothing needs destroying when it jumps.
struct PxJpegError {
    jpeg_error_mgr manager;  // first: the library only sees this part
    std::jmp_buf recovery;
    char message[JMSG_LENGTH_MAX];
};

struct PxJpegSource {
    jpeg_source_mgr manager;  // first
    PxFile* stream;
    bool atStart;
    JOCTET buffer[kPxJpegBufferSize];
};

struct PxJpegDestination {
    jpeg_destination_mgr manager;  // first
    PxFile* stream;
    JOCTET buffer[kPxJpegBufferSize];
};

// Returns the manager to put in the compressor's or decompressor's `err`.
jpeg_error_mgr* PxJpegErrorHook(PxJpegError& error);

// Records a failure of the codec's own; returns false for `return Fail(...)`.
bool PxJpegFail(PxJpegError& error, const char* message);

void PxJpegReadFrom(j_decompress_ptr cinfo, PxJpegSource& source, PxFile* stream);
void PxJpegWriteTo(j_compress_ptr cinfo, PxJpegDestination& destination, PxFile* stream);

// Fails the decompression once the file has had more scans than any real file
// needs: each scan can cost a pass over the whole picture.
void PxJpegLimitScans(j_decompress_ptr cinfo, jpeg_progress_mgr& progress);
