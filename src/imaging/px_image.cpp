#include "px_image.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/base/dib_header.h"

namespace {

DWORD RoundBpp(LONG bpp) {
    if (bpp <= 1) return 1;
    if (bpp <= 4) return 4;
    if (bpp <= 8) return 8;
    return 24;
}

DWORD ColorsFor(DWORD bpp) {
    return bpp == 24 ? 0 : DWORD{1} << bpp;
}

LONG PelsPerMeterFromDpi(LONG dpi) {
    const double ppm = std::floor(dpi * 39.37007874015748 + 0.5);
    constexpr double kMax = std::numeric_limits<LONG>::max();
    constexpr double kMin = std::numeric_limits<LONG>::min();
    return static_cast<LONG>(ppm > kMax ? kMax : (ppm < kMin ? kMin : ppm));
}

}  // namespace

PxImage::PxImage(DWORD imageType) {
    Startup(imageType);
}

PxImage::PxImage(DWORD width, DWORD height, DWORD bpp, DWORD imageType) {
    Startup(imageType);
    Create(width, height, static_cast<LONG>(bpp), static_cast<LONG>(imageType));
}

PxImage::PxImage(const PxImage& src, bool copyPixels, bool copySelection, bool copyAlpha) {
    Startup(src.info.type);
    Copy(src, copyPixels, copySelection, copyAlpha);
}

PxImage& PxImage::operator=(const PxImage& src) {
    if (this != &src) Copy(src, true, true, true);
    return *this;
}

PxImage::~PxImage() {
    Destroy();
}

void PxImage::Startup(DWORD imageType) {
    dib = selection = alpha = nullptr;
    header = {};
    header.biSize = kInfoHeaderSize;
    info = {};
    info.type = imageType;
    info.jpegQuality = 75;
    info.alphaMax = 255;
    info.transIndex = -1;
    info.enabled = true;
    SetXDPI(72);
    SetYDPI(72);
}

BYTE* PxImage::Create(DWORD width, DWORD height, LONG bpp, LONG imageType) {
    Destroy();
    const DWORD bits = RoundBpp(bpp);
    const std::uint64_t pixels = std::uint64_t{width} * height;
    const std::uint64_t stride = (std::uint64_t{width} * bits + 31) / 32 * 4;
    const std::uint64_t size = kInfoHeaderSize + 4 * ColorsFor(bits) + stride * height;
    if (width == 0 || height == 0 || pixels > kPxMaxPixels ||
        size > static_cast<std::uint64_t>(std::numeric_limits<LONG>::max())) {
        return nullptr;
    }
    dib = static_cast<BYTE*>(std::malloc(static_cast<std::size_t>(size)));
    if (!dib) return nullptr;

    header.biSize = kInfoHeaderSize;
    header.biWidth = static_cast<LONG>(width);
    header.biHeight = static_cast<LONG>(height);
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bits);
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(stride * height);
    header.biClrUsed = ColorsFor(bits);
    header.biClrImportant = 0;
    info.effWidth = static_cast<DWORD>(stride);
    info.type = static_cast<DWORD>(imageType);

    std::memset(dib + kInfoHeaderSize, 0, GetPaletteSize());
    SyncDibHeader();
    info.bits = dib + kInfoHeaderSize + GetPaletteSize();
    return dib;
}

// A ghost only borrows its blocks: it lets go of them without freeing.
bool PxImage::Destroy() {
    if (info.ghostOf == nullptr) {
        std::free(selection);
        std::free(alpha);
        std::free(dib);
    }
    dib = selection = alpha = nullptr;
    info.ghostOf = nullptr;
    info.bits = nullptr;
    return true;
}

bool PxImage::Copy(const PxImage& src, bool copyPixels, bool copySelection, bool copyAlpha) {
    if (&src == this) return true;
    Destroy();
    CopyInfo(src);
    if (!Create(src.GetWidth(), src.GetHeight(), src.GetBpp(), static_cast<LONG>(src.info.type)))
        return false;
    if (copyPixels && src.dib) {
        std::memcpy(dib, src.dib, static_cast<std::size_t>(GetSize()));
    } else {
        SetPalette(src.GetPalette(), 256);
    }
    if (copySelection && src.selection) {
        ReplaceMask(selection, static_cast<BYTE*>(std::malloc(PixelCount())));
        if (selection) std::memcpy(selection, src.selection, PixelCount());
    }
    if (copyAlpha && src.alpha) {
        ReplaceMask(alpha, static_cast<BYTE*>(std::malloc(PixelCount())));
        if (alpha) std::memcpy(alpha, src.alpha, PixelCount());
    }
    return true;
}

bool PxImage::Transfer(PxImage& from) {
    if (&from == this) return true;
    Destroy();
    header = from.header;
    info = from.info;
    dib = from.dib;
    selection = from.selection;
    alpha = from.alpha;
    from.header = {};
    from.info = {};
    from.dib = from.selection = from.alpha = nullptr;
    return true;
}

void PxImage::Ghost(PxImage* from) {
    Destroy();
    if (!from) return;
    header = from->header;
    info = from->info;
    dib = from->dib;
    selection = from->selection;
    alpha = from->alpha;
    info.ghostOf = from;
}

// The ghost link is not copied: whatever this image creates afterwards is its own.
void PxImage::CopyInfo(const PxImage& src) {
    if (dib) return;
    info = src.info;
    info.ghostOf = nullptr;
    info.bits = nullptr;
}

void PxImage::Clear(BYTE fill) {
    if (dib) std::memset(info.bits, fill, header.biSizeImage);
}

bool PxImage::IsInside(LONG x, LONG y) const {
    return x >= 0 && y >= 0 && x < header.biWidth && y < header.biHeight;
}

LONG PxImage::GetSize() const {
    return static_cast<LONG>(header.biSize + 4 * header.biClrUsed + header.biSizeImage);
}

const char* PxImage::GetVersion() {
    return "PxImage 5.00";
}

RGBQUAD PxImage::GetTransColor() const {
    if (header.biBitCount < 24 && info.transIndex != -1)
        return GetPaletteColor(static_cast<BYTE>(info.transIndex));
    return info.transColor;
}

void PxImage::SetXDPI(LONG dpi) {
    info.xDpi = dpi;
    header.biXPelsPerMeter = PelsPerMeterFromDpi(dpi);
    SyncDibHeader();
}

void PxImage::SetYDPI(LONG dpi) {
    info.yDpi = dpi;
    header.biYPelsPerMeter = PelsPerMeterFromDpi(dpi);
    SyncDibHeader();
}

LONG PxImage::DpiFromPelsPerMeter(LONG pelsPerMeter) {
    return static_cast<LONG>(std::floor(pelsPerMeter * 0.0254 + 0.5));
}

void PxImage::GetOffset(LONG* x, LONG* y) const {
    if (x) *x = info.xOffset;
    if (y) *y = info.yOffset;
}

void PxImage::SetOffset(LONG x, LONG y) {
    info.xOffset = x;
    info.yOffset = y;
}

void PxImage::SetLastErrorText(const char* text) {
    std::strncpy(info.lastError, text ? text : "", sizeof(info.lastError) - 1);
    info.lastError[sizeof(info.lastError) - 1] = '\0';
}

void PxImage::SyncDibHeader() {
    if (dib) PackInfoHeader(header, dib);
}

std::size_t PxImage::PixelCount() const {
    return dib ? static_cast<std::size_t>(header.biWidth) *
                     static_cast<std::size_t>(header.biHeight)
               : 0;
}

// Installs a freshly allocated mask in place of the old one; false when the
// allocation failed (the old mask is gone either way, as a failed replace must not
// leave stale contents behind).
bool PxImage::ReplaceMask(BYTE*& mask, BYTE* fresh) {
    std::free(mask);
    mask = fresh;
    return fresh != nullptr;
}
