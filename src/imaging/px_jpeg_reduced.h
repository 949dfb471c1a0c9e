// Small pictures of big photos: a JPEG decoded at the smallest DCT scale that
// still gives enough pixels, which skips most of the decoding work. Only callers
// that show a small picture use it; Load always decodes in full.
#pragma once

#include <string>

#include "px_image.h"

// Loads the JPEG file into `image`, reduced (1/2, 1/4 or 1/8) as far as its longer
// side stays at least `minimumLongerSide` pixels. Shows no message; on failure the
// image is unchanged and `error`, when given, receives the decoder's text.
bool PxLoadJpegReduced(const char* fileName, DWORD minimumLongerSide, PxImage& image,
                       std::string* error = nullptr);
