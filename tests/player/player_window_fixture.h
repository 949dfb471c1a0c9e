// A player window inside a host window, headless, on the virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "movie_test_support.h"
#include "platform/window/clock.h"
#include "platform/window/input.h"
#include "platform/window/message_loop.h"
#include "platform/window/paint.h"
#include "platform/window/window_backend.h"
#include "player/movie_player.h"

namespace player_test {

// The player sits at (kLeft, kTop) of its host, so client and host
// coordinates differ.
constexpr int kLeft = 10;
constexpr int kTop = 20;

class PlayerWindow : public ::testing::Test {
protected:
    void SetUp() override {
        clock_ = std::make_shared<VirtualClock>();
        SetClock(clock_);
        SetWindowBackend(&backend_);
        ASSERT_TRUE(
            host_.CreateEx(nullptr, RECT{0, 0, 600, 440}, "host", 0, WS_POPUP | WS_VISIBLE));
        ASSERT_TRUE(player_.CreateEx(&host_, RECT{kLeft, kTop, kLeft + 580, kTop + 411}, "", 1003,
                                     WS_CHILD | WS_VISIBLE));
        player_.SetFSCommandHandler([this](const std::string& command, const std::string& arg) {
            received_.push_back(arg.empty() ? command : command + "=" + arg);
        });
    }
    void TearDown() override {
        player_.DestroyWindow();
        host_.DestroyWindow();
        SetWindowBackend(nullptr);
        SetClock(nullptr);
    }

    // Writes the movie (header added) and loads it.
    void Load(const std::string& body, int fps = 12) {
        player_.Movie(folder_.Write("EN/Pennon.swf", WithHeader(body, fps)));
        ASSERT_TRUE(player_.HasMovie()) << player_.LastError();
        PumpWaitingMessages();
    }
    // Mouse events at a point of the player's client area.
    void Mouse(UINT message, int x, int y) {
        PostMouseEvent(&host_, message, POINT{kLeft + x, kTop + y});
        PumpWaitingMessages();
    }
    void Click(int x, int y) {
        Mouse(WM_MOUSEMOVE, x, y);
        Mouse(WM_LBUTTONDOWN, x, y);
        Mouse(WM_LBUTTONUP, x, y);
    }
    // Runs the message loop until the virtual clock reaches `ms`.
    void RunUntil(std::uint64_t ms) {
        MessageQueue::Current()->Schedule(ms, [] { PostQuitMessage(0); });
        RunLoopUntil([] { return false; });
        MSG quit;
        PeekMessage(&quit);  // the loop put the quit back
    }
    // A pixel of the player's client area as shown.
    COLORREF Pixel(int x, int y) {
        PumpWaitingMessages();
        return WindowSurface(&player_)->Get(kLeft + x, kTop + y);
    }
    std::vector<std::string> TakeReceived() { return std::exchange(received_, {}); }

    std::shared_ptr<VirtualClock> clock_;
    WindowBackend backend_;
    CWnd host_;
    CMoviePlayer player_;
    TempFolder folder_;
    std::vector<std::string> received_;
};

}  // namespace player_test
