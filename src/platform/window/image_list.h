// An image list: equally sized images kept by index, each with a mask so that
// pixels of the mask colour stay transparent when drawn. The thumbnail worker adds
// images from its own thread while the list view draws them on the user-interface
// thread, so every call takes the list's lock.
#pragma once

#include <mutex>
#include <vector>

#include "platform/gdi/gdi_types.h"
#include "platform/gdi/surface.h"

constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR32 = 0x0020;

class CImageList {
public:
    // Empty, for images of cx x cy pixels; `grow` is how many places are added at a time.
    bool Create(int cx, int cy, UINT flags, int initial, int grow);
    // Copies the top-left cx x cy pixels of the bitmap (a smaller bitmap is padded
    // with transparent pixels); pixels of `mask` become transparent. The caller
    // keeps the bitmap. The new image's index, or -1.
    int Add(HBITMAP bitmap, COLORREF mask);
    // Puts the bitmap in place of image `index`, as Add would copy it.
    bool Replace(int index, HBITMAP bitmap, COLORREF mask);
    // -1 removes every image.
    bool Remove(int index);
    int GetImageCount() const;
    SIZE ImageSize() const;
    // Draws image `index` with its top-left corner at (x, y); false when there is none.
    bool Draw(HDC hdc, int index, int x, int y) const;

private:
    struct Image {
        std::vector<COLORREF> pixels;  // row by row from the top
        std::vector<bool> shown;       // false where the mask colour was
    };

    bool Copy(const SurfacePtr& surface, COLORREF mask, Image& image) const;

    mutable std::mutex mutex_;
    int cx_ = 0;
    int cy_ = 0;
    std::size_t grow_ = 1;
    bool created_ = false;
    std::vector<Image> images_;
};
