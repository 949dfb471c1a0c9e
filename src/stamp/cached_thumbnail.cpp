#include "cached_thumbnail.h"

#include <algorithm>
#include <atomic>

#include "app/settings/settings.h"
#include "imaging/px_message.h"
#include "platform/system/thumbnail_cache.h"
#include "thumbnail_picture.h"

namespace {

std::atomic<bool> g_cacheInUse{false};

const char* MimeTypeOf(int code) {
    switch (code) {
        case PX_FORMAT_BMP:
            return "image/bmp";
        case PX_FORMAT_GIF:
            return "image/gif";
        case PX_FORMAT_JPG:
            return "image/jpeg";
        case PX_FORMAT_PNG:
            return "image/png";
        case PX_FORMAT_WEBP:
            return "image/webp";
        case PX_FORMAT_HEIF:
            return "image/heif";
        case PX_FORMAT_TIFF:
            return "image/tiff";
        default:
            return "";
    }
}

BYTE AlphaAt(const PxImage& image, LONG x, LONG y) {
    if (image.HasAlpha()) return image.AlphaGet(x, y);
    if (image.IsTransparent() && image.IsIndexed())
        return image.GetPixelIndex(x, y) == image.GetTransIndex() ? 0 : 255;
    return 255;
}

RgbaPicture RgbaOf(const PxImage& image) {
    RgbaPicture picture{image.GetWidth(), image.GetHeight(), {}};
    picture.pixels.reserve(std::size_t{picture.width} * picture.height * 4);
    // The image keeps its rows bottom-up; the PNG wants them top first.
    for (LONG y = static_cast<LONG>(picture.height) - 1; y >= 0; --y) {
        for (LONG x = 0; x < static_cast<LONG>(picture.width); ++x) {
            const RGBQUAD c = image.GetPixelColor(x, y);
            picture.pixels.insert(picture.pixels.end(),
                                  {c.rgbRed, c.rgbGreen, c.rgbBlue, AlphaAt(image, x, y)});
        }
    }
    return picture;
}

// Our PNG decoder checks the whole file: a cut-off entry fails here.
bool ShowCached(std::vector<unsigned char> bytes, PxImage& image) {
    if (bytes.empty()) return false;
    const PxQuietMessages quiet;
    PxImage cached;
    return cached.Decode(bytes.data(), static_cast<DWORD>(bytes.size()), PX_FORMAT_PNG) &&
           image.Transfer(cached);
}

}  // namespace

void SetThumbnailCacheInUse(bool on) {
    g_cacheInUse = on;
}

bool ThumbnailCacheInUse() {
    return g_cacheInUse;
}

bool ThumbnailCacheSetting() {
    DWORD value = 1;
    ReadRegDwordQuietly("Thumbnail Cache", "\\Customization Wizards\\user", &value);
    return value != 0;
}

bool FitNormalThumbnail(PxImage& image) {
    const LONG w = static_cast<LONG>(image.GetWidth()), h = static_cast<LONG>(image.GetHeight());
    const LONG side = kNormalThumbnailSide;
    if (w <= side && h <= side) return true;
    const LONG newW = w >= h ? side : std::max<LONG>(1, (w * side + h / 2) / h);
    const LONG newH = w >= h ? std::max<LONG>(1, (h * side + w / 2) / w) : side;
    return image.Resample(newW, newH, 0);
}

int LoadCachedThumbnail(const std::string& path, int code, PxImage& image,
                        const PxLoadOptions& options) {
    const ThumbnailCache cache = ThumbnailCache::ForThisUser();
    const auto subject = cache.Subject(path);
    if (!subject) return DecodeThumbnailPicture(path, code, image, options);
    if (cache.HasFailed(*subject)) return LoadPlaceholderPicture(image);
    if (ShowCached(cache.Find(*subject), image)) {
        image.SetType(static_cast<DWORD>(code));
        return code;
    }
    const int shown = DecodeThumbnailPicture(path, code, image, options, false);
    if (shown == 0) {
        cache.StoreFailure(*subject);
        return LoadPlaceholderPicture(image);
    }
    if (FitNormalThumbnail(image)) cache.Store(*subject, RgbaOf(image), MimeTypeOf(shown));
    image.SetType(static_cast<DWORD>(shown));
    return shown;
}
