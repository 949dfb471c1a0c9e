// A window with tab stops of its own inside it that are not windows (buttons it
// draws): Tab goes round them before it moves on to the dialog's next window.
#pragma once

class InnerTabStops {
public:
    // Moves to the next stop (the previous one when `backwards`); from none, to the
    // first (the last). False, with none focused, when it runs off the end or has
    // no stop at all.
    virtual bool MoveInnerFocus(bool backwards) = 0;
    // Presses the focused stop as a click would; false when none takes a press.
    virtual bool PressInnerFocus() = 0;

protected:
    ~InnerTabStops() = default;
};
