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

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void OnFSCommand(const std::string& command, const std::string& argument) override;

private:
    void OnStripPress(POINT point);
};
