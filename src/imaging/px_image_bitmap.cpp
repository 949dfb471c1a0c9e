// Device bitmaps: making one from the picture and reading one back.
#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "px_image.h"
#include "px_image_drawer.h"

// With a device, the bitmap is initialised from the DIB itself. Without one
// the rows are handed over as a device bitmap wants them, top-down and padded
// to 2 bytes, in 24-bit colour, so the bitmap shows the picture the right way
// up and in its palette's colours whatever its depth.
HBITMAP PxImage::MakeBitmap(HDC hdc) const {
    if (!dib) return nullptr;
    const PxImageDrawer drawer(*this);
    if (hdc) {
        const BITMAPINFO256 dibInfo = drawer.DibInfo();
        return CreateDIBitmap(hdc, &header, CBM_INIT, info.bits,
                              reinterpret_cast<const BITMAPINFO*>(&dibInfo), DIB_RGB_COLORS);
    }
    const LONG w = header.biWidth, h = header.biHeight;
    const std::size_t stride = (static_cast<std::size_t>(w) * 24 + 15) / 16 * 2;
    std::vector<BYTE> rows(stride * h);
    for (LONG y = 0; y < h; ++y) {
        BYTE* out = rows.data() + static_cast<std::size_t>(h - 1 - y) * stride;
        for (LONG x = 0; x < w; ++x, out += 3) {
            const RGBQUAD c = drawer.SourceColor(RowAt(y), x);
            out[0] = c.rgbBlue;
            out[1] = c.rgbGreen;
            out[2] = c.rgbRed;
        }
    }
    return CreateBitmap(w, h, 1, 24, rows.data());
}

// A null handle empties the image. Otherwise the picture is built aside and
// replaces this one only when it was read, so a failure leaves the image as it
// was (with "GetDIBits failed" as the last error).
bool PxImage::CreateFromHBITMAP(HBITMAP bitmap) {
    if (!bitmap) {
        Destroy();
        return false;
    }
    BITMAP bm{};
    if (!GetObject(bitmap, sizeof bm, &bm)) return false;
    PxImage image;
    image.CopyInfo(*this);
    if (!image.Create(static_cast<DWORD>(bm.bmWidth), static_cast<DWORD>(bm.bmHeight),
                      bm.bmBitsPixel, 0))
        return false;
    BITMAPINFO256 dibInfo = PxImageDrawer(image).DibInfo();
    HDC screen = CreateCompatibleDC(nullptr);
    const int lines = GetDIBits(screen, bitmap, 0, image.GetHeight(), image.GetBits(),
                                reinterpret_cast<BITMAPINFO*>(&dibInfo), DIB_RGB_COLORS);
    DeleteDC(screen);
    if (lines == 0) {
        SetLastErrorText("GetDIBits failed");
        return false;
    }
    image.SetPalette(dibInfo.bmiColors, image.GetNumColors());
    return Transfer(image);
}
