#include "picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "app/texts/wizard_texts.h"
#include "imaging/px_format_sniff.h"
#include "imaging/px_io_file.h"
#include "imaging/px_message.h"

namespace {

std::string AsciiLower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

// The refusal text for a decoded picture, or empty when the mask accepts it.
std::string Refusal(const PxImage& image, LONG format, unsigned mask) {
    switch (format) {
        case PX_FORMAT_BMP:
            return mask & kAcceptBmp ? "" : "The bmp format is not supported by this operation";
        case PX_FORMAT_JPG:
            return mask & kAcceptJpeg ? "" : "The jpeg format is not supported by this operation";
        case PX_FORMAT_PNG:
            return mask & kAcceptPng ? "" : "The png format is not supported by this operation";
        case PX_FORMAT_WEBP:
            return mask & kAcceptWebp ? "" : "The webp format is not supported by this operation";
        case PX_FORMAT_HEIF:
            return mask & kAcceptHeif ? "" : "The heif format is not supported by this operation";
        case PX_FORMAT_TIFF:
            return mask & kAcceptTiff ? "" : "The tiff format is not supported by this operation";
        default:
            break;
    }
    const LONG frames = image.GetNumFrames();
    if (frames <= 0) return "This gif file doesn't have a frame";
    if (frames == 1)
        return mask & (kAcceptBmp | kAcceptGif)
                   ? ""
                   : "The gif format is not supported by this operation";
    return mask & kAcceptGif ? "" : "The animated gif format is not supported by this operation";
}

bool LightPalettePicture(PxImage& image, LONG brightness) {
    const LONG trans = image.GetTransIndex();
    // Light maps onto the nearest entry; the colours it aimed at are kept from a
    // 24-bit copy so that the transparent entry can be left out of the search.
    PxImage wide(image);
    if (!wide.IncreaseBpp(24) || !wide.Light(brightness, 100)) return false;
    const LONG w = static_cast<LONG>(image.GetWidth()), h = static_cast<LONG>(image.GetHeight());
    for (LONG y = 0; y < h; ++y) {
        for (LONG x = 0; x < w; ++x) {
            if (image.GetPixelIndex(x, y) == trans) continue;
            image.SetPixelIndex(x, y, NearestVisibleIndex(image, wide.GetPixelColor(x, y)));
        }
    }
    return true;
}

bool SameRgb(RGBQUAD a, RGBQUAD b) {
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

// Through the library's stream, which never waits on a FIFO or a device.
bool FileOpens(const std::string& file) {
    PxIOFile stream;
    return stream.Open(file.c_str(), "rb");
}

// A GIF in which the decoder counts no frame cannot be decoded at all, so it is
// recognised here. An empty error text means the library has already said all
// there is (a file it could not open).
void ReportUnreadable(const PxImage& image, const std::string& file, LONG format) {
    if (format == PX_FORMAT_GIF && image.GetNumFrames() == 0 && FileOpens(file)) {
        PictureMessage("This gif file doesn't have a frame");
    } else if (image.GetLastError()[0] != '\0') {
        PictureMessage(image.GetLastError());
    }
}

}  // namespace

BYTE NearestVisibleIndex(const PxImage& image, RGBQUAD color) {
    const LONG skip = image.GetTransIndex();
    const RGBQUAD* palette = image.GetPalette();
    const DWORD count = image.GetNumColors();
    long best = std::numeric_limits<long>::max();
    BYTE index = 0;
    for (DWORD i = 0; i < count; ++i) {
        if (static_cast<LONG>(i) == skip) continue;
        const long dr = long{palette[i].rgbRed} - color.rgbRed;
        const long dg = long{palette[i].rgbGreen} - color.rgbGreen;
        const long db = long{palette[i].rgbBlue} - color.rgbBlue;
        const long d = dr * dr + dg * dg + db * db;
        if (d < best) {
            best = d;
            index = static_cast<BYTE>(i);
        }
    }
    return index;
}

std::string ExtensionOf(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

LONG BrightnessOf(double lightness) {
    const double value = std::trunc(lightness * 128.0);
    if (!(value > -1e6)) return -1000000;
    if (value > 1e6) return 1000000;
    return static_cast<LONG>(value);
}

bool LightKeepingTransparency(PxImage& image, LONG brightness) {
    if (!image.IsValid()) return false;
    if (image.IsIndexed() && image.IsTransparent()) return LightPalettePicture(image, brightness);
    if (image.GetBpp() != 24 || !image.IsTransparent()) return image.Light(brightness, 100);
    const RGBQUAD key = image.GetTransColor();
    const LONG w = static_cast<LONG>(image.GetWidth()), h = static_cast<LONG>(image.GetHeight());
    std::vector<bool> keyed(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            keyed[static_cast<std::size_t>(y) * w + x] = SameRgb(image.GetPixelColor(x, y), key);
    if (!image.Light(brightness, 100)) return false;
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            if (keyed[static_cast<std::size_t>(y) * w + x]) image.SetPixelColor(x, y, key);
    return true;
}

void PictureMessage(const std::string& text) {
    PxMessageBox(text.c_str(), g_texts.ownTitle.empty() ? "Ostrel" : g_texts.ownTitle.c_str(),
                 MB_OK);
}

LoadedPicture LoadPicture(const std::string& file, unsigned formatMask, int frame,
                          const PxLoadOptions& options) {
    LoadedPicture result;
    const std::string extension = AsciiLower(ExtensionOf(file));
    if (extension.empty()) return result;
    LONG format = static_cast<LONG>(PxFormatOfExtension(extension));
    if (format == PX_FORMAT_UNKNOWN) return result;
    result.known = true;

    // The library itself says when the file cannot be opened.
    auto loaded = std::make_unique<PxImage>(static_cast<DWORD>(format));
    loaded->Load(file.c_str(), static_cast<DWORD>(format), false, options);
    if (frame != 0) {
        loaded->SetFrame(frame);
        loaded->Load(file.c_str(), static_cast<DWORD>(format), false, options);
    }
    // A file is what its contents say when they name another format than its name.
    if (loaded->IsValid()) format = static_cast<LONG>(loaded->GetType());
    result.formatCode = format;
    loaded->SetType(static_cast<DWORD>(format));
    if (!loaded->IsValid()) {
        ReportUnreadable(*loaded, file, format);
        return result;
    }
    const std::string refusal = Refusal(*loaded, format, formatMask);
    if (!refusal.empty()) {
        PictureMessage(refusal);
        return result;
    }
    result.image = std::move(loaded);
    return result;
}

bool CPicture::Accept(const std::string& file, LoadedPicture loaded) {
    path = file;
    ++openings;
    if (!loaded.known) return false;
    formatCode = loaded.formatCode;
    image = std::move(loaded.image);
    return image != nullptr;
}
