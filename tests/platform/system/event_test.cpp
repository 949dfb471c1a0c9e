#include "platform/system/event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

TEST(Event, AutoResetLetsOneWaitThroughPerSignal) {
    Event event(true);
    EXPECT_FALSE(event.Wait(0ms));
    event.Set();
    EXPECT_TRUE(event.Wait(0ms));
    EXPECT_FALSE(event.Wait(0ms));  // reset by the wait

    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i)
        waiters.emplace_back([&] {
            if (event.Wait(2000ms)) ++woken;
        });
    for (int i = 0; i < 3; ++i) {
        event.Set();
        while (woken.load() < i + 1)
            std::this_thread::sleep_for(1ms);
    }
    for (auto& t : waiters)
        t.join();
    EXPECT_EQ(woken.load(), 3);
}

TEST(Event, ManualResetStaysSignalledUntilReset) {
    Event event(false, true);
    EXPECT_TRUE(event.Wait(0ms));
    EXPECT_TRUE(event.Wait(0ms));
    event.Reset();
    EXPECT_FALSE(event.Wait(1ms));
    std::thread setter([&] { event.Set(); });
    EXPECT_TRUE(event.Wait());
    setter.join();
}
