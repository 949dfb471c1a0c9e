// Helpers for the picture and stamp tests: a scratch folder, a record of the
// library's message boxes, a page-sized window to draw on, and a stamp file read
// back with libpng itself.
#pragma once

#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "imaging/px_image.h"
#include "imaging/px_message.h"
#include "platform/window/clock.h"
#include "platform/window/paint.h"
#include "platform/window/window_backend.h"

namespace stamp_test {

namespace fs = std::filesystem;

class ScratchFolder {
public:
    ScratchFolder() {
        static int counter = 0;
        path_ = fs::temp_directory_path() /
                ("ostrel_stamp_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Records every text the library's message hook receives while alive.
class LibraryMessages {
public:
    LibraryMessages() {
        Texts().clear();
        previous_ = PxSetMessageBoxHook([](const char* text, const char*, UINT) {
            Texts().push_back(text);
            return IDOK;
        });
    }
    ~LibraryMessages() { PxSetMessageBoxHook(previous_); }
    const std::vector<std::string>& texts() const { return Texts(); }

private:
    static std::vector<std::string>& Texts() {
        static std::vector<std::string> texts;
        return texts;
    }
    PxMessageBoxHook previous_;
};

// A picture whose every pixel has its own colour: red = 8x, green = 8y (y from the
// top), blue = 40.
inline PxImage Gradient(LONG w, LONG h) {
    PxImage image;
    image.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), 24);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            image.SetPixelColor(
                x, h - 1 - y,
                RGBQUAD{40, static_cast<BYTE>((8 * y) & 255), static_cast<BYTE>((8 * x) & 255), 0});
    return image;
}

inline PxImage Filled(LONG w, LONG h, RGBQUAD color, WORD bpp = 24) {
    PxImage image;
    image.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), bpp);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            image.SetPixelColor(x, y, color);
    return image;
}

// The colour at (x, y) counted from the top-left corner.
inline RGBQUAD TopLeftPixel(const PxImage& image, LONG x, LONG y) {
    return image.GetPixelColor(x, static_cast<LONG>(image.GetHeight()) - 1 - y);
}

inline bool SameRgb(RGBQUAD a, RGBQUAD b) {
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

struct NullBackend : WindowBackend {
    void TopLevelChanged(CWnd*) override {}
    void Present(CWnd*, const RECT&) override {}
};

// A 580 x 411 top-level window standing for a wizard page.
class PageWindow {
public:
    PageWindow() {
        SetClock(std::make_shared<VirtualClock>());
        SetWindowBackend(&backend_);
        page_.CreateEx(nullptr, RECT{0, 0, 580, 411}, "page", 0, WS_POPUP);
        page_.ShowWindow(SW_SHOW);
    }
    ~PageWindow() {
        page_.DestroyWindow();
        SetWindowBackend(nullptr);
        SetClock(nullptr);
    }
    CWnd* get() { return &page_; }
    COLORREF Pixel(int x, int y) { return WindowSurface(&page_)->Get(x, y); }
    // Paints the whole client area one colour.
    void Fill(COLORREF color);

private:
    NullBackend backend_;
    CWnd page_;
};

struct PngFacts {
    bool read = false;
    int width = 0, height = 0, colorType = -1, bitDepth = 0, paletteSize = 0;
    std::vector<png_byte> trns;
    std::vector<png_color> palette;
    std::vector<std::vector<png_byte>> rows;  // indices, top row first
};

PngFacts ReadPng(const std::string& file);

}  // namespace stamp_test
