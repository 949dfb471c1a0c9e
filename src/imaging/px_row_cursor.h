// Walks the rows of a picture from the top down, the order files store them in.
#pragma once

#include "px_image.h"

struct RowCursor {
    LONG height = 0;
    LONG y = -1;  // DIB row (0 = bottom) the next line goes to

    void Reset(const PxImage& image) {
        height = static_cast<LONG>(image.GetHeight());
        y = height - 1;
    }
    bool AtEnd() const { return y < 0; }
    void Next() { --y; }
};
