// CMagnifiedStamp: a stamp file shown magnified, nearest neighbour (each of the
// stamp's pixels a square of its colour), over the grey hatch, so that its
// transparent parts show as on the preview page.
#pragma once

#include <string>

#include "picture.h"

class CMagnifiedStamp : public CPicture {
public:
    // Reads the stamp and makes the copy `factor` times its size. False, with no
    // picture left, when the file cannot be read.
    bool Show(const std::string& file, int factor);
    // At the origin on the owner's device context; nothing without a picture.
    void Draw() const;
};
