// The markers of a JPEG before its first scan: the picture's size (SOF) and its
// EXIF block (the first APP1 that holds one), read without touching the pixels.
#pragma once

#include <vector>

#include "platform/base/win_types.h"
#include "px_file.h"

struct PxJpegHead {
    DWORD width = 0;
    DWORD height = 0;
    std::vector<BYTE> exif;  // the APP1 payload from "Exif\0\0" on; empty when none
};

// Past this many bytes from the start no head is looked for.
constexpr std::int32_t kPxJpegHeadLimit = 1 << 20;

// Reads from the stream's position up to the frame header (SOF); false when the
// data is no JPEG, is damaged, or reaches no SOF within kPxJpegHeadLimit bytes.
// The stream is left wherever the reading stopped.
bool PxReadJpegHead(PxFile* stream, PxJpegHead& head);
