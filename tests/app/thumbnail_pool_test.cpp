// The thumbnail pool on its own: results handed back in the order given whatever
// order the threads finish in, never more than its window ahead, a stop that
// abandons what is queued and throws away what is running, and destruction while
// busy.
#include "stamp/thumbnail_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Holds the jobs that reach it until opened.
class Gate {
public:
    void Pass() {
        std::unique_lock lock(mutex_);
        open_.wait(lock, [this] { return opened_; });
    }
    void Open() {
        {
            std::lock_guard lock(mutex_);
            opened_ = true;
        }
        open_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable open_;
    bool opened_ = false;
};

}  // namespace

TEST(ThumbnailPool, ResultsComeInTheOrderGivenWithAnyNumberOfThreads) {
    EXPECT_GE(ThumbnailPool::DefaultSize(), 1);
    EXPECT_LE(ThumbnailPool::DefaultSize(), 8);
    EXPECT_EQ(ThumbnailPool(0).Size(), 1);
    for (int threads : {1, 2, 3, 8}) {
        ThumbnailPool pool(threads);
        std::vector<std::size_t> taken;
        // Later jobs are quicker, so the threads finish them out of order.
        const std::size_t count = TakeInOrder<std::size_t>(
            pool, 30,
            [](std::size_t i) {
                std::this_thread::sleep_for(std::chrono::microseconds(300 * ((30 - i) % 7)));
                return i * 10;
            },
            [&](std::size_t i, std::size_t& result) {
                EXPECT_EQ(result, i * 10);
                taken.push_back(i);
            },
            [] { return false; });
        EXPECT_EQ(count, 30u) << threads;
        ASSERT_EQ(taken.size(), 30u) << threads;
        for (std::size_t i = 0; i < taken.size(); ++i)
            EXPECT_EQ(taken[i], i) << threads;
    }
}

TEST(ThumbnailPool, NeverStartsMoreThanItsWindowAheadOfTheResultTaken) {
    ThumbnailPool pool(4);
    ASSERT_EQ(pool.Window(), 8u);
    std::atomic<std::size_t> highestStarted{0};
    TakeInOrder<int>(
        pool, 50,
        [&](std::size_t i) {
            std::size_t seen = highestStarted.load();
            while (i > seen && !highestStarted.compare_exchange_weak(seen, i)) {
            }
            return 0;
        },
        [&](std::size_t i, int&) {
            // A slow taker: the threads would run far ahead if they could.
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            EXPECT_LT(highestStarted.load(), i + pool.Window());
        },
        [] { return false; });
    EXPECT_EQ(highestStarted.load(), 49u);
}

TEST(ThumbnailPool, AStopDropsTheQueuedWorkAndThrowsAwayTheRunning) {
    ThumbnailPool pool(2);
    Gate gate;
    std::atomic<int> started{0};
    std::atomic<int> takenCount{0};
    std::atomic<bool> stopping{false};
    std::vector<std::size_t> taken;
    const auto make = [&](std::size_t i) {
        ++started;
        if (i >= 3) gate.Pass();  // jobs 3 and 4 hold both threads
        return i;
    };
    // Stopped while waiting for the fourth result, with more queued behind.
    std::thread stopper([&] {
        while (started.load() < 5 || takenCount.load() < 3)
            std::this_thread::yield();
        stopping = true;
    });
    const std::size_t count = TakeInOrder<std::size_t>(
        pool, 40, make,
        [&](std::size_t i, std::size_t&) {
            taken.push_back(i);
            ++takenCount;
        },
        [&] { return stopping.load(); });
    stopper.join();
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(taken, (std::vector<std::size_t>{0, 1, 2}));
    gate.Open();
    // The next pass starts afresh: nothing of the abandoned one comes back.
    std::vector<std::size_t> next;
    TakeInOrder<std::size_t>(
        pool, 3, [](std::size_t i) { return 100 + i; },
        [&](std::size_t, std::size_t& result) { next.push_back(result); }, [] { return false; });
    EXPECT_EQ(next, (std::vector<std::size_t>{100, 101, 102}));
    // Jobs 5 and 6 were queued when the stop came: dropped, never run.
    EXPECT_EQ(started.load(), 5);
}

TEST(ThumbnailPool, DestroyedWhileBusyItRunsNoQueuedWorkAndJoins) {
    std::atomic<int> ran{0};
    Gate gate;
    std::vector<std::future<void>> results;
    std::thread opener;
    {
        ThumbnailPool pool(3);
        for (int i = 0; i < 20; ++i)
            results.push_back(pool.Submit([&] {
                gate.Pass();
                ++ran;
            }));
        // The pool's end waits for the jobs held here.
        opener = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            gate.Open();
        });
    }
    opener.join();
    EXPECT_LE(ran.load(), 3);
    int broken = 0;
    for (auto& result : results) {
        try {
            result.get();
        } catch (const std::future_error&) {
            ++broken;
        }
    }
    EXPECT_EQ(broken, 20 - ran.load());
}

TEST(ThumbnailPool, WhatAJobThrowsReachesTheTaker) {
    ThumbnailPool pool(2);
    EXPECT_THROW(TakeInOrder<int>(
                     pool, 4,
                     [](std::size_t i) -> int {
                         if (i == 2) throw std::runtime_error("bad file");
                         return 0;
                     },
                     [](std::size_t, int&) {}, [] { return false; }),
                 std::runtime_error);
}
