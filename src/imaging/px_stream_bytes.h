// Whole streams in memory, for libraries that decode from a buffer.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "px_file.h"

// Reads the stream from its current position to its end into `bytes`. Fails,
// with `error` set, when the stream holds more than `cap` bytes or cannot be
// read; the stream's position is then undefined.
bool PxReadStreamBytes(PxFile* stream, std::size_t cap, std::vector<unsigned char>& bytes,
                       std::string& error);

// The largest picture file the buffer-decoding codecs read whole (WebP, HEIF).
constexpr std::size_t kPxMaxWholeFile = std::size_t{1} << 30;
