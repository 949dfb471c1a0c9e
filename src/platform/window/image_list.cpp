#include "image_list.h"

#include <algorithm>

#include "platform/gdi/gdi.h"

bool CImageList::Create(int cx, int cy, UINT /*flags*/, int initial, int grow) {
    if (cx <= 0 || cy <= 0 || cx > 1024 || cy > 1024) return false;
    std::lock_guard lock(mutex_);
    cx_ = cx;
    cy_ = cy;
    grow_ = static_cast<std::size_t>(std::max(1, grow));
    images_.clear();
    images_.reserve(static_cast<std::size_t>(std::max(0, initial)));
    created_ = true;
    return true;
}

// Called with the lock held.
bool CImageList::Copy(const SurfacePtr& surface, COLORREF mask, Image& image) const {
    if (!created_ || !surface || !surface->Valid()) return false;
    image.pixels.assign(static_cast<std::size_t>(cx_) * cy_, RGB(0, 0, 0));
    image.shown.assign(image.pixels.size(), false);
    const LONG w = std::min<LONG>(cx_, surface->Width()),
               h = std::min<LONG>(cy_, surface->Height());
    for (LONG y = 0; y < h; ++y) {
        for (LONG x = 0; x < w; ++x) {
            const COLORREF c = surface->Get(x, y);
            const std::size_t at = static_cast<std::size_t>(y) * cx_ + x;
            image.pixels[at] = c;
            image.shown[at] = c != mask;
        }
    }
    return true;
}

int CImageList::Add(HBITMAP bitmap, COLORREF mask) {
    const SurfacePtr surface = GetBitmapSurface(bitmap);
    std::lock_guard lock(mutex_);
    Image image;
    if (!Copy(surface, mask, image)) return -1;
    if (images_.size() == images_.capacity()) images_.reserve(images_.size() + grow_);
    images_.push_back(std::move(image));
    return static_cast<int>(images_.size() - 1);
}

bool CImageList::Replace(int index, HBITMAP bitmap, COLORREF mask) {
    const SurfacePtr surface = GetBitmapSurface(bitmap);
    std::lock_guard lock(mutex_);
    if (index < 0 || static_cast<std::size_t>(index) >= images_.size()) return false;
    Image image;
    if (!Copy(surface, mask, image)) return false;
    images_[static_cast<std::size_t>(index)] = std::move(image);
    return true;
}

bool CImageList::Remove(int index) {
    std::lock_guard lock(mutex_);
    if (index == -1) {
        images_.clear();
        return true;
    }
    if (index < 0 || static_cast<std::size_t>(index) >= images_.size()) return false;
    images_.erase(images_.begin() + index);
    return true;
}

int CImageList::GetImageCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(images_.size());
}

SIZE CImageList::ImageSize() const {
    std::lock_guard lock(mutex_);
    return SIZE{cx_, cy_};
}

bool CImageList::Draw(HDC hdc, int index, int x, int y) const {
    std::lock_guard lock(mutex_);
    if (index < 0 || static_cast<std::size_t>(index) >= images_.size()) return false;
    const Image& image = images_[static_cast<std::size_t>(index)];
    for (int row = 0; row < cy_; ++row) {
        for (int col = 0; col < cx_; ++col) {
            const std::size_t at = static_cast<std::size_t>(row) * cx_ + col;
            if (image.shown[at]) SetPixel(hdc, x + col, y + row, image.pixels[at]);
        }
    }
    return true;
}
