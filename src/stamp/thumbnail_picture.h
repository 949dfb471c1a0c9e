// Thumbnail pictures for the picture browser's list. These never show a message: a
// file that cannot be read becomes the built-in placeholder picture (PNG 165).
#pragma once

#include <string>

#include "imaging/px_image.h"
#include "picture.h"

constexpr int kPlaceholderPictureId = 165;
// A JPEG thumbnail is decoded reduced as far as its longer side keeps this many pixels.
constexpr DWORD kThumbnailDecodeSide = 128;
// A JPEG's own EXIF thumbnail (typically 160 x 120) stands in for it from this size on.
constexpr DWORD kThumbnailEmbeddedSide = 96;

// Registers the built-in pictures once; safe from any thread.
void RegisterStampResources();

// Loads `path` into `image` by its extension and returns the format code used (the
// placeholder counts as PNG), or 0 without loading when the extension names none.
// Formats that can are decoded at a reduced scale (kThumbnailDecodeSide); a JPEG
// whose EXIF thumbnail fits is shown from it. With `useCache`, the desktop's
// thumbnail cache is read and written (cached_thumbnail.h); without it, as the
// wizard's setting says (ThumbnailCacheInUse). Safe from several threads at once.
int LoadThumbnailPicture(const std::string& path, PxImage& image,
                         const PxLoadOptions& options = kPictureLoad);
int LoadThumbnailPicture(const std::string& path, PxImage& image, const PxLoadOptions& options,
                         bool useCache);

// The thumbnail decoding itself for a file whose extension gave `code`: returns the
// code of what the contents turned out to be. On failure, the placeholder (PNG) is
// loaded, or, without `placeholder`, nothing is and 0 is returned.
int DecodeThumbnailPicture(const std::string& path, int code, PxImage& image,
                           const PxLoadOptions& options, bool placeholder = true);

// Loads the built-in placeholder picture; returns PX_FORMAT_PNG, the code it counts as.
int LoadPlaceholderPicture(PxImage& image);

// Centres the picture in a size x size square, scaling it down (nearest neighbour,
// proportions kept) when it is larger. False only when the scaling failed.
bool MakeSquareThumbnail(PxImage& image, int size);
