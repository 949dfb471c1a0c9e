// What one JPEG decode keeps between the codec's steps.
#pragma once

#include "px_color_profile.h"
#include "px_jpeg_stream.h"

// Plain data: a library error jumps over every frame that uses it. The colour
// conversion lives in the frame that calls the recovery point.
struct PxJpegReadState {
    PxJpegError error;
    jpeg_decompress_struct cinfo;
    PxJpegSource source;
    jpeg_progress_mgr progress;
    PxColorToSrgb* colour;
};
