// A surface with a DC on it, released at the end of the test.
#pragma once

#include <memory>

#include "platform/gdi/gdi.h"

struct TestCanvas {
    TestCanvas(LONG width, LONG height, COLORREF fill = RGB(255, 255, 255))
        : surface(std::make_shared<Surface>(width, height)), dc(CreateSurfaceDC(surface)) {
        surface->Fill(fill);
    }
    ~TestCanvas() { DeleteDC(dc); }
    TestCanvas(const TestCanvas&) = delete;
    TestCanvas& operator=(const TestCanvas&) = delete;

    COLORREF At(LONG x, LONG y) const { return surface->Get(x, y); }
    // Number of pixels of the given colour inside a rectangle.
    int Count(const RECT& r, COLORREF color) const {
        int n = 0;
        for (LONG y = r.top; y < r.bottom; ++y)
            for (LONG x = r.left; x < r.right; ++x)
                n += At(x, y) == color;
        return n;
    }

    SurfacePtr surface;
    HDC dc;
};
