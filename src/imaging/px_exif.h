// EXIF blocks, read through libexif.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/base/win_types.h"

// The orientation an EXIF block declares, 1 to 8 (1: as stored). The block may
// start with "Exif\0\0" (JPEG APP1) or straight with the TIFF header (PNG eXIf,
// WebP EXIF). A missing, out-of-range or damaged value gives 1.
int PxExifOrientation(const BYTE* data, std::size_t size);

// The JPEG bytes of the thumbnail an EXIF block carries in IFD1 (JPEGInterchange-
// Format and its length); empty when there is none or it lies outside the block.
std::vector<BYTE> PxExifThumbnail(const BYTE* data, std::size_t size);
