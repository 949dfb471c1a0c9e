// CEditPicture: the picture being edited, drawn into the editor's 182 x 182 box,
// and the extraction of the stamp-sized picture from it.
#pragma once

#include <memory>

#include "picture.h"

constexpr LONG kEditBoxSide = 182;

class CEditPicture : public CPicture {
public:
    // Fills the box at the origin with black and draws the picture, scaled, into
    // drawRect (clipped to displayRect), after recomputing both.
    void Draw();
    // The display geometry alone: the picture sits in the box's top-left corner,
    // scaled down to fit, never enlarged. Both rectangles are the same.
    void ComputeDisplayRects();

    // The whole picture letterboxed into a w x h picture with black bars.
    std::unique_ptr<PxImage> ExtractWhole(LONG w, LONG h) const;
    // The part under `frame` (the owner's client coordinates over drawRect), scaled
    // to w x h; none when it cannot be cut.
    std::unique_ptr<PxImage> ExtractSelection(const RECT& frame, LONG w, LONG h) const;

    bool Flip() { return image && image->Flip(); }
    bool Mirror() { return image && image->Mirror(); }
    bool RotateLeft() { return image && image->RotateLeft(); }
    bool RotateRight() { return image && image->RotateRight(); }

    RECT displayRect{};
    RECT drawRect{};
};

// The stamp side for the editor's format: 16 for format 1, 32 otherwise.
LONG StampSide(int format);

// The editor's extraction into target: the whole picture when selectAll, else the
// part under frame. On success the target's image is replaced; otherwise the target
// is unchanged and the result is false.
bool ExtractStamp(const CEditPicture& picture, bool selectAll, int format, const RECT& frame,
                  CPicture& target);

// The largest square centred in limits: the selection frame the editor starts with.
RECT CenteredSquare(const RECT& limits);
