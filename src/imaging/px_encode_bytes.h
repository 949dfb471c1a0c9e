// A picture encoded into a byte vector, for callers that keep files in memory.
#pragma once

#include <vector>

#include "px_image.h"

// Empty when the encoder fails (the image's lastError says why).
std::vector<BYTE> EncodeToBytes(PxImage& image, DWORD imageType);
