#include "platform/window/window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/window/clock.h"
#include "platform/window/focus.h"
#include "platform/window/message_loop.h"

namespace {

// Records every message it receives (with the clock's time) and answers WM_USER
// with wParam + 1.
class Recorder : public CWnd {
public:
    struct Entry {
        UINT message;
        WPARAM wParam;
        std::uint64_t at;
    };
    std::vector<Entry> log;
    std::function<LRESULT(UINT, WPARAM, LPARAM)> onMessage;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        log.push_back({message, wParam, GetClock()->NowMs()});
        if (onMessage) {
            if (LRESULT r = onMessage(message, wParam, lParam)) return r;
        }
        if (message == WM_USER) return static_cast<LRESULT>(wParam + 1);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<UINT> Messages(UINT only = 0) const {
        std::vector<UINT> out;
        for (const Entry& e : log) {
            if (!only || e.message == only) out.push_back(e.message);
        }
        return out;
    }
};

class WindowSystem : public ::testing::Test {
protected:
    void SetUp() override {
        clock_ = std::make_shared<VirtualClock>();
        SetClock(clock_);
    }
    // Leaves nothing (a quit put back by a loop, say) for the next test on this thread.
    void TearDown() override {
        MSG left;
        while (PeekMessage(&left)) {
        }
        SetClock(nullptr);
    }
    std::shared_ptr<VirtualClock> clock_;
};

constexpr RECT kRect{10, 20, 110, 70};

}  // namespace

TEST_F(WindowSystem, CreationDestructionAndTheTree) {
    Recorder top, child, grandChild;
    ASSERT_TRUE(top.CreateEx(nullptr, kRect, "Ostrel", 0, WS_POPUP));
    ASSERT_TRUE(child.CreateEx(&top, RECT{5, 5, 55, 25}, "Wiz1", 1003, WS_CHILD | WS_VISIBLE));
    ASSERT_TRUE(grandChild.CreateEx(&child, RECT{1, 1, 2, 2}, "", 7, WS_CHILD));
    EXPECT_EQ(top.GetDlgItem(1003), &child);
    EXPECT_EQ(FindWindow(nullptr, "Ostrel"), &top);
    EXPECT_EQ(FindWindow(nullptr, "Wiz1"), nullptr);  // only top-level windows
    EXPECT_FALSE(child.IsWindowVisible());            // its parent is hidden
    top.ShowWindow(SW_SHOW);
    EXPECT_TRUE(child.IsWindowVisible());
    RECT screen;
    child.GetWindowRect(&screen);
    EXPECT_EQ(screen.left, 15);
    EXPECT_EQ(screen.top, 25);
    std::vector<CWnd*> all;
    top.ForEachDescendant([&](CWnd* w) { all.push_back(w); });
    EXPECT_EQ(all, (std::vector<CWnd*>{&child, &grandChild}));

    top.DestroyWindow();
    EXPECT_FALSE(IsWindow(&top));
    EXPECT_FALSE(IsWindow(&grandChild));
    EXPECT_EQ(top.Messages(WM_DESTROY).size(), 1u);
    EXPECT_EQ(grandChild.Messages(WM_DESTROY).size(), 1u);
    EXPECT_FALSE(top.PostMessage(WM_USER));
    EXPECT_EQ(top.SendMessage(WM_USER, 1), 0);
}

TEST_F(WindowSystem, PostedMessagesWaitForTheLoopAndKeepTheirOrder) {
    Recorder w;
    ASSERT_TRUE(w.CreateEx(nullptr, kRect, "w", 0, 0));
    w.log.clear();
    EXPECT_EQ(w.SendMessage(WM_USER, 41), 42);  // sent: carried out at once
    ASSERT_TRUE(PostMessage(&w, WM_USER + 1, 1, 0));
    ASSERT_TRUE(PostMessage(&w, WM_USER + 2, 2, 0));
    EXPECT_EQ(w.log.size(), 1u);
    PumpWaitingMessages();
    ASSERT_EQ(w.log.size(), 3u);
    EXPECT_EQ(w.log[1].message, WM_USER + 1u);
    EXPECT_EQ(w.log[2].message, WM_USER + 2u);
}

TEST_F(WindowSystem, TimersFireOnTheVirtualClockUntilKilled) {
    Recorder w;
    ASSERT_TRUE(w.CreateEx(nullptr, kRect, "w", 0, 0));
    w.SetTimer(100, 100);
    w.onMessage = [&](UINT message, WPARAM, LPARAM) -> LRESULT {
        if (message == WM_TIMER && w.Messages(WM_TIMER).size() == 3) w.KillTimer(100);
        return 0;
    };
    MessageQueue::Current()->Schedule(250, [&] { w.PostMessage(WM_USER + 9); });
    MessageQueue::Current()->Schedule(1000, [] { PostQuitMessage(3); });
    EXPECT_FALSE(RunLoopUntil([] { return false; }));
    std::vector<std::uint64_t> times;
    for (const auto& e : w.log) {
        if (e.message == WM_TIMER || e.message == WM_USER + 9) times.push_back(e.at);
    }
    EXPECT_EQ(times, (std::vector<std::uint64_t>{100, 200, 250, 300}));
    EXPECT_EQ(clock_->NowMs(), 1000u);
    MSG quit;
    ASSERT_TRUE(PeekMessage(&quit));  // the loop put the quit back
    EXPECT_EQ(quit.message, WM_QUIT);
    EXPECT_EQ(quit.wParam, 3u);
}

TEST_F(WindowSystem, DestroyingAWindowStopsItsTimers) {
    Recorder w;
    ASSERT_TRUE(w.CreateEx(nullptr, kRect, "w", 0, 0));
    w.SetTimer(1, 10);
    w.DestroyWindow();
    MessageQueue::Current()->Schedule(100, [] { PostQuitMessage(0); });
    RunLoopUntil([] { return false; });
    EXPECT_TRUE(w.Messages(WM_TIMER).empty());
}

TEST_F(WindowSystem, SendFromAnotherThreadRunsOnTheOwnersThread) {
    SetClock(std::make_shared<RealClock>());
    Recorder w;
    ASSERT_TRUE(w.CreateEx(nullptr, kRect, "w", 0, 0));
    std::thread::id handledOn;
    w.onMessage = [&](UINT message, WPARAM, LPARAM) -> LRESULT {
        if (message == WM_USER) handledOn = std::this_thread::get_id();
        return 0;
    };
    std::atomic<LRESULT> result{0};
    std::thread worker([&] {
        result = w.SendMessage(WM_USER, 99);
        w.PostMessage(WM_USER + 1);
    });
    RunLoopUntil([&] { return !w.Messages(WM_USER + 1).empty(); });
    worker.join();
    EXPECT_EQ(result.load(), 100);
    EXPECT_EQ(handledOn, std::this_thread::get_id());
}

TEST_F(WindowSystem, ThreadsSendingToEachOtherDoNotStall) {
    SetClock(std::make_shared<RealClock>());
    Recorder mine;
    ASSERT_TRUE(mine.CreateEx(nullptr, kRect, "mine", 0, 0));
    std::atomic<HWND> theirs{nullptr};
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        Recorder w;
        w.CreateEx(nullptr, kRect, "theirs", 0, 0);
        // Answers by asking the first thread something while that thread waits on it.
        w.onMessage = [&](UINT message, WPARAM wParam, LPARAM) -> LRESULT {
            return message == WM_USER + 5 ? mine.SendMessage(WM_USER, wParam) * 10 : 0;
        };
        theirs = &w;
        RunLoopUntil([&] { return stop.load(); });
        theirs = nullptr;
    });
    while (!theirs.load())
        std::this_thread::yield();
    HWND other = theirs.load();
    EXPECT_EQ(SendMessage(other, WM_USER + 5, 4, 0), 50);
    stop = true;
    PostMessage(other, WM_NULL, 0, 0);  // may find the window gone already: then a no-op
    worker.join();
}

TEST_F(WindowSystem, SendingToAThreadThatEndedDoesNotHang) {
    SetClock(std::make_shared<RealClock>());
    Recorder* orphan = nullptr;
    std::thread worker([&] {
        orphan = new Recorder;
        orphan->CreateEx(nullptr, kRect, "orphan", 0, 0);
    });
    worker.join();
    EXPECT_EQ(orphan->SendMessage(WM_USER, 1), 0);
    EXPECT_FALSE(orphan->PostMessage(WM_USER));
    delete orphan;  // destroyed from here: its thread is gone
}

TEST_F(WindowSystem, WindowTextIsCutOnACharacterBoundary) {
    Recorder w;
    ASSERT_TRUE(w.CreateEx(nullptr, kRect, std::string(30, 'a') + "\xC3\xA9" + "b", 0, 0));
    char buffer[32];
    EXPECT_EQ(w.GetWindowText(buffer, sizeof buffer), 30);
    EXPECT_EQ(std::string(buffer), std::string(30, 'a'));
    w.SetWindowText("Vardle");
    EXPECT_EQ(w.GetWindowText(buffer, sizeof buffer), 6);
    EXPECT_EQ(w.GetWindowText(buffer, 1), 0);
    EXPECT_EQ(buffer[0], '\0');
}

TEST_F(WindowSystem, FocusCaptureAndActivationTellBothWindows) {
    Recorder a, b, child;
    ASSERT_TRUE(a.CreateEx(nullptr, kRect, "a", 0, 0));
    ASSERT_TRUE(b.CreateEx(nullptr, kRect, "b", 0, 0));
    ASSERT_TRUE(child.CreateEx(&b, kRect, "c", 1, WS_CHILD));
    SetFocus(&a);
    SetFocus(&b);
    EXPECT_EQ(GetFocus(), &b);
    EXPECT_EQ(a.Messages(WM_KILLFOCUS).size(), 1u);
    SetActiveWindow(&a);
    EXPECT_EQ(SetActiveWindow(&child, WA_CLICKACTIVE), &a);  // activates the top-level window
    EXPECT_EQ(GetActiveWindow(), &b);
    ASSERT_FALSE(b.log.empty());
    EXPECT_EQ(b.log.back().message, WM_ACTIVATE);
    EXPECT_EQ(b.log.back().wParam, WA_CLICKACTIVE);
    SetCapture(&child);
    EXPECT_EQ(GetCapture(), &child);
    b.DestroyWindow();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(WindowSystem, MinimiseAndRestoreThroughSystemCommands) {
    Recorder w;
    ASSERT_TRUE(w.CreateEx(nullptr, kRect, "w", 0, WS_VISIBLE));
    w.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE | 3);
    EXPECT_TRUE(w.IsIconic());
    w.ShowWindow(SW_SHOWNORMAL);
    EXPECT_FALSE(w.IsIconic());
    EXPECT_TRUE(w.IsWindowVisible());
    w.ShowWindow(SW_HIDE);
    EXPECT_EQ(w.Messages(WM_SHOWWINDOW).size(), 2u);
}
