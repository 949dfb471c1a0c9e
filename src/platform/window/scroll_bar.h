// The vertical scroll bar the list and the folder tree draw at their right edge:
// a track with a thumb sized by how much of the content shows. Pressing the track
// pages, dragging the thumb scrolls.
#pragma once

#include "platform/gdi/gdi_types.h"

class VScrollBar {
public:
    static constexpr int kWidth = 16;

    // The bar's place, the content's height and the height that shows at once.
    void Layout(const RECT& bar, int contentHeight, int viewHeight);
    bool Needed() const { return content_ > view_; }
    int Position() const { return position_; }
    int MaxPosition() const { return content_ > view_ ? content_ - view_ : 0; }
    // Clamped to 0 .. MaxPosition; true when it moved.
    bool SetPosition(int position);
    bool ScrollBy(int delta) { return SetPosition(position_ + delta); }
    const RECT& Rect() const { return bar_; }
    bool Contains(POINT p) const;

    // A press at p (inside the bar): starts a drag on the thumb, else pages.
    void Press(POINT p);
    // Pointer moves while pressed; true when the position changed.
    bool Drag(POINT p);
    void Release() { dragging_ = false; }
    bool Dragging() const { return dragging_; }

    void Paint(HDC hdc) const;

private:
    RECT Thumb() const;

    RECT bar_{};
    int content_ = 0;
    int view_ = 0;
    int position_ = 0;
    bool dragging_ = false;
    int grabOffset_ = 0;
};
