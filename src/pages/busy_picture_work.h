// Picture work that a large picture makes long (reading it, turning it): done on
// a worker thread while the page goes on painting and firing its timers, with the
// busy cursor showing and the page taking no input until it is done. The image
// library's message boxes are shown by the page's own thread.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "stamp/picture.h"

LoadedPicture LoadPictureShowingBusy(const std::string& path, unsigned formatMask);

// `edit` applied to a copy of `image`; none when the edit fails. The image itself
// is only read meanwhile, so the page may go on drawing it.
std::unique_ptr<PxImage> EditedCopyShowingBusy(const PxImage& image,
                                               const std::function<bool(PxImage&)>& edit);
