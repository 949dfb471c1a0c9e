// Formats told by their first bytes, for files whose extension names another.
#pragma once

#include <cstddef>

#include "platform/base/win_types.h"

// How many leading bytes PxFormatOfContents looks at, at most.
constexpr std::size_t kPxSniffBytes = 64;

// The supported format whose signature the bytes start with, or PX_FORMAT_UNKNOWN.
DWORD PxFormatOfContents(const BYTE* head, std::size_t size);
