// Work off the user-interface thread: its events reach the caller's thread in
// order, the caller's windows get no input meanwhile (except a caption drag),
// timers and posted messages still flow, and a quit waits for the work.
#include "platform/window/off_thread_work.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/window/clock.h"
#include "platform/window/cursor.h"
#include "platform/window/input.h"
#include "platform/window/message_loop.h"
#include "platform/window/paint.h"
#include "platform/window/window_backend.h"

namespace {

class Probe : public CWnd {
public:
    std::vector<UINT> received;
    LRESULT caption = HTCLIENT;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        received.push_back(message);
        if (message == WM_NCHITTEST) return caption;
        return CWnd::WindowProc(message, wParam, lParam);
    }
    bool Got(UINT message) const {
        return std::find(received.begin(), received.end(), message) != received.end();
    }
};

class DragRecorder : public WindowBackend {
public:
    CWnd* dragged = nullptr;
    void BeginCaptionDrag(CWnd* window) override { dragged = window; }
};

class OffThread : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(std::make_shared<VirtualClock>());
        top.CreateEx(nullptr, RECT{0, 0, 200, 100}, "top", 0, WS_POPUP | WS_VISIBLE);
        child.CreateEx(&top, RECT{0, 0, 200, 100}, "", 7, WS_CHILD | WS_VISIBLE);
        PumpWaitingMessages();
        top.received.clear();
        child.received.clear();
    }
    void TearDown() override {
        child.DestroyWindow();
        top.DestroyWindow();
        MSG left;
        while (PeekMessage(&left)) {
        }
        SetWindowBackend(nullptr);
        SetClock(nullptr);
    }
    Probe top;
    Probe child;
};

}  // namespace

TEST_F(OffThread, EventsRunOnTheCallerInOrderWhileTheWorkRuns) {
    const auto caller = std::this_thread::get_id();
    std::vector<int> seen;
    bool allOnCaller = true;
    int result = 0;
    OffThreadWork::Run([&](OffThreadWork& work) {
        EXPECT_NE(std::this_thread::get_id(), caller);
        for (int i = 0; i < 5; ++i)
            work.CallOnCaller([&, i] {
                allOnCaller = allOnCaller && std::this_thread::get_id() == caller;
                seen.push_back(i);
            });
        result = 42;
    });
    EXPECT_EQ(result, 42);
    EXPECT_TRUE(allOnCaller);
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(OffThread, InputIsDroppedButOtherMessagesAndPaintFlow) {
    OffThreadWork::Run([&](OffThreadWork& work) {
        work.CallOnCaller([&] {
            PostMouseEvent(&top, WM_LBUTTONDOWN, POINT{10, 50});
            PostMouseEvent(&top, WM_LBUTTONUP, POINT{10, 50});
            PostKeyEvent(WM_KEYDOWN, VK_RETURN);
            child.PostMessage(WM_USER + 9);
            InvalidateRect(&child, nullptr, false);
        });
        // Whatever was posted has been handled once a later call comes back.
        work.CallOnCaller([] {});
        work.CallOnCaller([] {});
    });
    PumpWaitingMessages();
    EXPECT_TRUE(child.Got(WM_USER + 9));
    EXPECT_TRUE(child.Got(WM_PAINT));
    EXPECT_FALSE(child.Got(WM_LBUTTONDOWN));
    EXPECT_FALSE(child.Got(WM_LBUTTONUP));
    EXPECT_FALSE(child.Got(WM_KEYDOWN));
    EXPECT_FALSE(top.Got(WM_KEYDOWN));
}

TEST_F(OffThread, APressOnACaptionStillDragsTheWindow) {
    DragRecorder backend;
    SetWindowBackend(&backend);
    child.caption = HTCAPTION;
    OffThreadWork::Run([&](OffThreadWork& work) {
        work.CallOnCaller([&] { PostMouseEvent(&top, WM_LBUTTONDOWN, POINT{50, 5}); });
        work.CallOnCaller([] {});
    });
    EXPECT_EQ(backend.dragged, &top);
    EXPECT_FALSE(child.Got(WM_LBUTTONDOWN));

    // Elsewhere nothing moves.
    backend.dragged = nullptr;
    child.caption = HTCLIENT;
    OffThreadWork::Run([&](OffThreadWork& work) {
        work.CallOnCaller([&] { PostMouseEvent(&top, WM_LBUTTONDOWN, POINT{50, 60}); });
        work.CallOnCaller([] {});
    });
    EXPECT_EQ(backend.dragged, nullptr);
    SetWindowBackend(nullptr);
}

TEST_F(OffThread, AQuitWaitsForTheWorkAndIsKept) {
    std::atomic<bool> finished{false};
    OffThreadWork::Run([&](OffThreadWork& work) {
        work.CallOnCaller([] { PostQuitMessage(3); });
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        finished = true;
    });
    EXPECT_TRUE(finished);
    MSG message;
    ASSERT_TRUE(PeekMessage(&message));
    while (message.message == WM_NULL)
        ASSERT_TRUE(PeekMessage(&message));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 3u);
}

TEST_F(OffThread, TimersFireWhileTheWorkWaitsInRealTime) {
    SetClock(std::make_shared<RealClock>());
    std::atomic<int> ticks{0};
    struct Ticker : CWnd {
        std::atomic<int>* ticks = nullptr;
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
            if (message == WM_TIMER) ++*ticks;
            return CWnd::WindowProc(message, wParam, lParam);
        }
    } ticker;
    ticker.ticks = &ticks;
    ticker.CreateEx(nullptr, RECT{0, 0, 10, 10}, "ticker", 0, WS_POPUP);
    ticker.SetTimer(1, 5);
    OffThreadWork::Run([&](OffThreadWork&) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (ticks < 3 && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    EXPECT_GE(ticks, 3);
    ticker.DestroyWindow();
}

TEST_F(OffThread, AFailureOfTheWorkReachesTheCaller) {
    EXPECT_THROW(OffThreadWork::Run([](OffThreadWork&) { throw std::runtime_error("broken"); }),
                 std::runtime_error);
}

TEST_F(OffThread, TheBusyCursorShowsWhileTheWorkRunsAndTheOneBeforeComesBack) {
    SetCursor(LoadCursor(nullptr, IDC_SIZEALL));
    int duringWork = 0, seenByCaller = 0;
    OffThreadWork::RunShowingBusy([&](OffThreadWork& work) {
        duringWork = GetCursor()->id;
        // A move meanwhile is dropped, so no window puts the arrow back.
        work.CallOnCaller([&] { PostMouseEvent(&top, WM_MOUSEMOVE, POINT{10, 50}); });
        work.CallOnCaller([&] { seenByCaller = GetCursor()->id; });
    });
    EXPECT_EQ(duringWork, IDC_WAIT);
    EXPECT_EQ(seenByCaller, IDC_WAIT);
    EXPECT_EQ(GetCursor()->id, IDC_SIZEALL);

    // A failing work puts the cursor back too.
    EXPECT_THROW(
        OffThreadWork::RunShowingBusy([](OffThreadWork&) { throw std::runtime_error("x"); }),
        std::runtime_error);
    EXPECT_EQ(GetCursor()->id, IDC_SIZEALL);
    SetCursor(nullptr);
}
