// The page's movie player. Besides playing, it turns presses on the movie's top
// strip into the frameless main window's menu and drag, keeps the player's own
// context menu closed, and hands the movie's commands to its page.
#pragma once

#include <string>

#include "player/movie_player.h"

class CFlashCtrl : public CMoviePlayer {
public:
    // The strip at the top of the movie where a press moves the window.
    static constexpr int kStripHeight = 25;
    static constexpr int kStripWidth = 520;
    // The corner at its left end that opens the window's menu.
    static constexpr int kMenuCorner = 25;

    // The drag part of the strip is the window's caption: while input is held back
    // (a transfer running) a press there still moves the window.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void OnFSCommand(const std::string& command, const std::string& argument) override;
    // A press on the strip first moves the window or opens its menu; the movie
    // still receives it.
    void OnLButtonDown(UINT flags, POINT point) override;
    // Swallowed: the player's own context menu never opens.
    void OnRButtonDown(UINT /*flags*/, POINT /*point*/) override {}
    // The strip's buttons belong to the window's frame, as a title bar's do: Tab
    // passes them by.
    bool TakesKeys(const RECT& box) const override { return box.top >= kStripHeight; }

private:
    void OnStripPress(POINT point);
};
