// The desktop's shared thumbnail cache in front of the thumbnail decoding: a
// valid cached thumbnail is shown without decoding the picture, a picture decoded
// leaves its "normal" thumbnail behind, and one that cannot be read is recorded so
// that later visits show the placeholder at once.
#pragma once

#include <string>

#include "imaging/px_image.h"

// Whether LoadThumbnailPicture without a cache argument uses the cache: the
// wizard sets it from its "Thumbnail Cache" setting; off until then.
void SetThumbnailCacheInUse(bool on);
bool ThumbnailCacheInUse();
// The "Thumbnail Cache" setting of the user key: on unless it is 0 (on when missing).
bool ThumbnailCacheSetting();

// LoadThumbnailPicture's work for a file whose extension gave `code`, through the
// cache of this user ($XDG_CACHE_HOME). Safe from several threads at once.
int LoadCachedThumbnail(const std::string& path, int code, PxImage& image,
                        const PxLoadOptions& options);

// The thumbnail of a picture as the cache keeps it: its longer side at most 128
// pixels (area averaged), never enlarged. False when scaling failed.
bool FitNormalThumbnail(PxImage& image);
