// CDlgMask: a borderless child laid over the movie where a page draws a picture,
// so that the page, not the movie, receives the mouse there. It draws nothing:
// the page's picture shows through it.
#pragma once

#include "platform/window/dialog.h"

// Sent by a mask to its page when it takes (wParam 1) or loses (0) the keyboard.
constexpr UINT WM_MASK_FOCUS = WM_USER + 30;

class CDlgMask : public CDialog {
public:
    explicit CDlgMask(CWnd* page);

    // Creates the mask the first time, then places it at (x, y) of the page with
    // the given size and shows it.
    bool Place(LONG x, LONG y, LONG width, LONG height);

    // Moves go on to the page with their key state, in page coordinates; presses
    // and releases of the left button go on without parameters. A press holds the
    // mouse until the release, so a drag that leaves the mask still reaches the page,
    // and gives a mask that is a tab stop the keyboard.
    void OnMouseMove(UINT flags, POINT point) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnPaint() override;
    // Keys the page's dialog keys leave go on to the page, as the mouse does.
    void OnKeyDown(UINT key) override;
    void OnChar(UINT character) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The page sees the mask's messages first, as its own: its tip goes when the
    // pointer reaches a picture, and Enter and Escape are the page's.
    bool PreTranslateMessage(const MSG& message) override;

    LONG x() const { return x_; }
    LONG y() const { return y_; }

private:
    CWnd* page_;
    LONG x_ = 0;
    LONG y_ = 0;
};
