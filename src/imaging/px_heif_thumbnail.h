// The thumbnail a HEIF file offers in place of its primary image, for callers
// that only show a small picture.
#pragma once

#include "platform/base/win_types.h"
#include "px_heif_handles.h"

// The smallest thumbnail of `primary` whose longer side is at least `side` and
// whose proportions are the primary's, as decoded with the file's transformations
// (`upright`) or without; empty when none fits or `side` is 0.
PxHeifHandle PxHeifFittingThumbnail(const heif_image_handle* primary, DWORD side, bool upright);
