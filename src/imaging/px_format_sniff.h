// Formats told by a file's name and by its first bytes.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/base/win_types.h"

// How many leading bytes PxFormatOfContents looks at, at most.
constexpr std::size_t kPxSniffBytes = 64;

// The supported format whose signature the bytes start with, or PX_FORMAT_UNKNOWN.
DWORD PxFormatOfContents(const BYTE* head, std::size_t size);

// The format a file name extension (the text after the last ".", without it)
// names, in any letter case: bmp; gif; jpg, jpeg, jpe; png; webp; heic, heif, hif,
// avif; tif, tiff. PX_FORMAT_UNKNOWN for any other.
DWORD PxFormatOfExtension(std::string_view extension);
