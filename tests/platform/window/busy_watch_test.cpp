// The watch on how long a thread stays away from its queue: a slow handler is one
// long spell named by its message, a loop of its own inside a handler splits it,
// and waiting idle is no spell at all.
#include "platform/window/busy_watch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/window/clock.h"
#include "platform/window/message_loop.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"

namespace {

using namespace std::chrono_literals;

// Takes `work` on WM_USER, and runs the queue in the middle of it on WM_USER + 1.
class Slow : public CWnd {
public:
    std::chrono::milliseconds work{0};
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_USER) std::this_thread::sleep_for(work);
        if (message == WM_USER + 1) {
            std::this_thread::sleep_for(work / 2);
            PumpWaitingMessages();
            std::this_thread::sleep_for(work / 2);
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

struct Spell {
    std::chrono::microseconds length;
    UINT message;
};

class Watch : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(std::make_shared<RealClock>());
        window.CreateEx(nullptr, RECT{0, 0, 10, 10}, "slow", 0, WS_POPUP);
        PumpWaitingMessages();
        MessageQueue::Current()->WatchBusySpells(
            [this](std::chrono::microseconds length, const MSG& cause) {
                spells.push_back({length, cause.message});
            });
    }
    void TearDown() override {
        MessageQueue::Current()->WatchBusySpells(nullptr);
        window.DestroyWindow();
        PumpWaitingMessages();
        SetClock(nullptr);
    }
    std::chrono::microseconds Longest() const {
        std::chrono::microseconds longest{0};
        for (const Spell& spell : spells)
            longest = std::max(longest, spell.length);
        return longest;
    }
    Slow window;
    std::vector<Spell> spells;
};

}  // namespace

TEST_F(Watch, ASlowHandlerIsOneSpellNamedByItsMessage) {
    window.work = 40ms;
    window.PostMessage(WM_USER);
    PumpWaitingMessages();
    PumpWaitingMessages();  // comes back to the queue: the spell ends
    ASSERT_FALSE(spells.empty());
    const auto slow = std::find_if(spells.begin(), spells.end(),
                                   [](const Spell& s) { return s.message == WM_USER; });
    ASSERT_NE(slow, spells.end());
    EXPECT_GE(slow->length, 40ms);
    EXPECT_EQ(Longest(), slow->length);
}

TEST_F(Watch, ALoopInsideAHandlerSplitsTheSpell) {
    window.work = 200ms;
    window.PostMessage(WM_USER + 1);
    PumpWaitingMessages();
    PumpWaitingMessages();
    EXPECT_GE(Longest(), 100ms);
    EXPECT_LT(Longest(), 200ms);
}

TEST_F(Watch, WaitingIdleForAMessageIsNoSpell) {
    MessageQueue::Current()->Schedule(GetClock()->NowMs() + 300,
                                      [this] { window.PostMessage(WM_USER); });
    MSG message;
    ASSERT_TRUE(GetMessage(&message));  // waits about 300 ms for the action's post
    DispatchMessage(&message);
    PumpWaitingMessages();
    EXPECT_LT(Longest(), 150ms);
}
