// Owners of libheif's handles, so every way out of a decode releases them.
#pragma once

#include <libheif/heif.h>

#include <memory>

struct PxHeifContextFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct PxHeifHandleRelease {
    void operator()(const heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct PxHeifImageRelease {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct PxHeifOptionsFree {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};

using PxHeifContext = std::unique_ptr<heif_context, PxHeifContextFree>;
using PxHeifHandle = std::unique_ptr<const heif_image_handle, PxHeifHandleRelease>;
using PxHeifPicture = std::unique_ptr<heif_image, PxHeifImageRelease>;
using PxHeifOptions = std::unique_ptr<heif_decoding_options, PxHeifOptionsFree>;

// Registers the library's decoders once per process, whichever thread decodes
// first. It is never undone: another thread may still be decoding at exit.
void PxHeifInitOnce();
