// CPicture: the wizard's picture holder. It pairs an image with the file it came
// from (path and format code), the window it is drawn into and the place there,
// and the lightness it is shown with. The format is chosen by the file's extension,
// unless the contents are another format the library reads. Pictures are read
// upright and in sRGB, as the user sees them elsewhere.
#pragma once

#include <memory>
#include <string>

#include "imaging/px_image.h"

class CWnd;

// Bits of the format mask given to CPicture::Open.
constexpr unsigned kAcceptJpeg = 1;
constexpr unsigned kAcceptPng = 2;
constexpr unsigned kAcceptBmp = 4;  // and a GIF of exactly one frame
constexpr unsigned kAcceptGif = 8;  // animated or still
constexpr unsigned kAcceptWebp = 16;
constexpr unsigned kAcceptHeif = 32;  // HEIF, HEIC and AVIF
constexpr unsigned kAcceptTiff = 64;
constexpr unsigned kAcceptAll = 127;

// How the wizard, and every tool that makes the same stamp, reads a picture.
constexpr PxLoadOptions kPictureLoad{.upright = true, .toSrgb = true, .byContents = true};

// The text after the last "." of the whole path; empty when there is none.
std::string ExtensionOf(const std::string& path);

// The brightness a lightness factor stands for: lightness x 128, truncated.
LONG BrightnessOf(double lightness);

// Light with the given brightness and neutral contrast, keeping transparency: pixels
// of the transparent colour (24 bpp) or index (palette) stay as they are, and on a
// palette picture no other pixel moves onto the transparent entry.
bool LightKeepingTransparency(PxImage& image, LONG brightness);

// The palette entry nearest to color (as GetNearestIndex measures), leaving out the
// transparent index.
BYTE NearestVisibleIndex(const PxImage& image, RGBQUAD color);

// What reading a picture file gave, apart from any picture holder.
struct LoadedPicture {
    bool known = false;  // the extension names a format the wizard reads
    LONG formatCode = PX_FORMAT_UNKNOWN;
    // None when the file could not be read or was refused; the message box has
    // said why.
    std::unique_ptr<PxImage> image;
};

// The reading half of CPicture::Open. It touches no picture holder, so it may run
// on a worker thread; its message boxes go through the image library's.
LoadedPicture LoadPicture(const std::string& path, unsigned formatMask, int frame,
                          const PxLoadOptions& options = kPictureLoad);

class CPicture {
public:
    CPicture() = default;
    virtual ~CPicture() = default;
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;

    virtual DWORD GetWidth() const { return image ? image->GetWidth() : 0; }
    virtual DWORD GetHeight() const { return image ? image->GetHeight() : 0; }

    // Replaces the image with the picture in `path` when its extension names a
    // format the mask accepts. Unknown extensions return false silently and keep the
    // current image; any other failure is told through the library's message box and
    // leaves no image.
    bool Open(const std::string& path, unsigned formatMask, int frame,
              const PxLoadOptions& options = kPictureLoad) {
        return Accept(path, LoadPicture(path, formatMask, frame, options));
    }
    // The holding half of Open: takes what LoadPicture read from `path`.
    bool Accept(const std::string& path, LoadedPicture loaded);
    // How many times Open was called: a page that shows the picture tells a freshly
    // chosen one (even the same file again) from the one it last showed.
    unsigned openings = 0;

    double lightness = 0.0;
    CWnd* owner = nullptr;
    LONG originX = 0;
    LONG originY = 0;
    std::string path;
    LONG formatCode = PX_FORMAT_UNKNOWN;
    std::unique_ptr<PxImage> image;
};

// The application's standard message box (OK only, no icon) through the library's
// message hook, captioned with the wizard's title.
void PictureMessage(const std::string& text);
