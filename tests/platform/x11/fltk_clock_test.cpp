// The user-interface thread waits in the toolkit's loop; work handed over from
// other threads must wake it at once, however long its next timer is away.
#include "platform/backends/x11/fltk_clock.h"

#include <FL/Fl.H>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/window/message_loop.h"

namespace {

class Answerer : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_USER) return static_cast<LRESULT>(wParam * 2);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

}  // namespace

TEST(FltkClockLoop, OtherThreadsWakeTheToolkitLoopForSendsAndPosts) {
    Fl::lock();
    auto clock = std::make_shared<FltkClock>();
    SetClock(clock);
    Answerer window;
    ASSERT_TRUE(window.CreateEx(nullptr, RECT{0, 0, 1, 1}, "", 0, WS_POPUP));
    window.SetTimer(1, 60000);  // the loop would otherwise sleep a minute
    LRESULT sum = 0;
    std::thread other([&] {
        for (WPARAM i = 1; i <= 50; ++i)
            sum += window.SendMessage(WM_USER, i);
        window.PostMessage(WM_USER + 1);
    });
    const auto start = std::chrono::steady_clock::now();
    MSG message;
    while (GetMessage(&message) && message.message != WM_USER + 1)
        DispatchMessage(&message);
    other.join();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(sum, 2 * (50 * 51 / 2));
    EXPECT_LT(took, std::chrono::seconds(30));
    window.DestroyWindow();
    SetClock(nullptr);
    Fl::unlock();
}

TEST(FltkClockLoop, TimersComeDueOnTheRealClock) {
    Fl::lock();
    SetClock(std::make_shared<FltkClock>());
    CWnd window;
    ASSERT_TRUE(window.CreateEx(nullptr, RECT{0, 0, 1, 1}, "", 0, WS_POPUP));
    window.SetTimer(7, 30);
    const auto start = std::chrono::steady_clock::now();
    MSG message;
    while (GetMessage(&message) && message.message != WM_TIMER) {
    }
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(29));
    window.DestroyWindow();
    SetClock(nullptr);
    Fl::unlock();
}
