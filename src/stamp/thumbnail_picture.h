// Thumbnail pictures for the picture browser's list. These never show a message: a
// file that cannot be read becomes the built-in placeholder picture (PNG 165).
#pragma once

#include <string>

#include "imaging/px_image.h"
#include "picture.h"

constexpr int kPlaceholderPictureId = 165;
// A JPEG thumbnail is decoded reduced as far as its longer side keeps this many pixels.
constexpr DWORD kThumbnailDecodeSide = 128;

// Registers the built-in pictures once; safe from any thread.
void RegisterStampResources();

// Loads `path` into `image` by its extension and returns the format code used (the
// placeholder counts as PNG), or 0 without loading when the extension names none.
// Formats that can are decoded at a reduced scale (kThumbnailDecodeSide).
int LoadThumbnailPicture(const std::string& path, PxImage& image,
                         const PxLoadOptions& options = kPictureLoad);

// Centres the picture in a size x size square, scaling it down (nearest neighbour,
// proportions kept) when it is larger. False only when the scaling failed.
bool MakeSquareThumbnail(PxImage& image, int size);
