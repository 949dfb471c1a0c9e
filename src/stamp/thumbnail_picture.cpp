#include "thumbnail_picture.h"

#include <mutex>
#include <string_view>

#include "cached_thumbnail.h"
#include "imaging/px_format_sniff.h"
#include "imaging/px_message.h"
#include "picture.h"

void RegisterPlaceholderPicture();  // generated from the placeholder's PNG

namespace {

int FormatOfThumbnail(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot == 0) return PX_FORMAT_UNKNOWN;
    return static_cast<int>(PxFormatOfExtension(std::string_view(path).substr(dot + 1)));
}

// Black content must not turn into the list's black mask colour.
void PlacePalettePicture(PxImage& square, PxImage& copy, LONG offX, LONG offY) {
    copy.SetPaletteIndex(copy.GetNearestIndex(RGBQUAD{0, 0, 0, 0}), 15, 15, 15, 255);
    square.SetPalette(copy.GetPalette(), 256);
    square.Clear(0);
    const LONG w = static_cast<LONG>(copy.GetWidth()), h = static_cast<LONG>(copy.GetHeight());
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            square.SetPixelIndex(x + offX, y + offY, copy.GetPixelIndex(x, y));
}

void PlaceTrueColourPicture(PxImage& square, const PxImage& copy, LONG offX, LONG offY) {
    square.Clear(255);
    square.SetTransColor(RGBQUAD{255, 255, 255, 0});
    const LONG w = static_cast<LONG>(copy.GetWidth()), h = static_cast<LONG>(copy.GetHeight());
    for (LONG y = 0; y < h; ++y) {
        for (LONG x = 0; x < w; ++x) {
            RGBQUAD c = copy.GetPixelColor(x, y);
            if (c.rgbRed < 16 && c.rgbGreen < 16 && c.rgbBlue < 16) c = RGBQUAD{16, 16, 16, 0};
            square.SetPixelColor(x + offX, y + offY, c);
        }
    }
}

// A thumbnail needs 64 pixels; twice that keeps the squaring's nearest-neighbour
// step from showing while skipping most of a big photo's decoding (formats that
// can decode reduced), or all of it when the JPEG carries a fitting thumbnail;
// orientation and colours apply to the small picture. The PNG and GIF decoders
// tell their errors in a box; a thumbnail shows the placeholder instead, and the
// worker thread must never open a box.
bool LoadForThumbnail(const std::string& path, int code, PxImage& image, PxLoadOptions options) {
    const PxQuietMessages quiet;
    options.minimumLongerSide = kThumbnailDecodeSide;
    options.embeddedThumbnailSide = kThumbnailEmbeddedSide;
    return image.Load(path.c_str(), static_cast<DWORD>(code), true, options);
}

}  // namespace

void RegisterStampResources() {
    static std::once_flag once;
    std::call_once(once, [] { RegisterPlaceholderPicture(); });
}

int LoadPlaceholderPicture(PxImage& image) {
    RegisterStampResources();
    image.LoadResource(FindResource(nullptr, kPlaceholderPictureId, "PNG"), PX_FORMAT_PNG, nullptr);
    image.SetType(PX_FORMAT_PNG);
    return PX_FORMAT_PNG;
}

int DecodeThumbnailPicture(const std::string& path, int code, PxImage& image,
                           const PxLoadOptions& options, bool placeholder) {
    if (!LoadForThumbnail(path, code, image, options))
        return placeholder ? LoadPlaceholderPicture(image) : 0;
    code = static_cast<int>(image.GetType());  // what the contents turned out to be
    image.SetType(static_cast<DWORD>(code));
    return code;
}

int LoadThumbnailPicture(const std::string& path, PxImage& image, const PxLoadOptions& options) {
    return LoadThumbnailPicture(path, image, options, ThumbnailCacheInUse());
}

int LoadThumbnailPicture(const std::string& path, PxImage& image, const PxLoadOptions& options,
                         bool useCache) {
    const int code = FormatOfThumbnail(path);
    if (code == PX_FORMAT_UNKNOWN) {
        image.SetType(PX_FORMAT_UNKNOWN);
        return 0;
    }
    return useCache ? LoadCachedThumbnail(path, code, image, options)
                    : DecodeThumbnailPicture(path, code, image, options);
}

bool MakeSquareThumbnail(PxImage& image, int size) {
    if (size <= 0 || !image.IsValid()) return false;
    if (image.GetNumColors() < 8) image.IncreaseBpp(8);
    const LONG w = static_cast<LONG>(image.GetWidth()), h = static_cast<LONG>(image.GetHeight());
    LONG newW = w, newH = h;
    if (w > size || h > size) {
        if (w > h) {
            newW = size;
            newH = static_cast<LONG>(static_cast<long long>(h) * size / w);
        } else {
            newW = static_cast<LONG>(static_cast<long long>(w) * size / h);
            newH = size;
        }
        if (!image.Resample(newW, newH, 1)) return false;
    }
    PxImage copy(image);
    if (!copy.IsValid()) return false;
    // The square keeps the picture's info (transparent index, type), as if the image
    // itself were recreated, but is built aside so that a failure changes nothing.
    PxImage square(copy, false, false, false);
    if (!square.Create(static_cast<DWORD>(size), static_cast<DWORD>(size), copy.GetBpp(),
                       static_cast<LONG>(copy.GetType())))
        return false;
    const LONG offX = (size - newW) / 2, offY = (size - newH) / 2;
    if (copy.IsIndexed())
        PlacePalettePicture(square, copy, offX, offY);
    else
        PlaceTrueColourPicture(square, copy, offX, offY);
    image.Transfer(square);
    return true;
}
