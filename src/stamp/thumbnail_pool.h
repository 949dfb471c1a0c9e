// Threads that make thumbnails ahead of the one thread that shows them. Work is
// started in the order given and TakeInOrder hands the results back in that order,
// whatever order the threads finish in. Abandoning a pass drops the work still
// queued; work already running ends on its own and its result is thrown away, so
// nothing of an abandoned pass is ever handed back. One thread gives the work and
// takes the results.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

class ThumbnailPool {
public:
    // One thread per core, at most 8 (more only fight over memory), at least 1.
    static int DefaultSize();

    // `threads` below 1 counts as 1.
    explicit ThumbnailPool(int threads);
    // Drops the queued work, lets the running work end and joins.
    ~ThumbnailPool();
    ThumbnailPool(const ThumbnailPool&) = delete;
    ThumbnailPool& operator=(const ThumbnailPool&) = delete;

    int Size() const { return static_cast<int>(threads_.size()); }
    // How many results may be made ahead of the one being taken: enough to keep
    // every thread busy while the taker is slower for a moment, few enough that
    // memory stays small.
    std::size_t Window() const { return 2 * threads_.size(); }

    // Queues `make` behind the work given before; its result, or what it threw,
    // comes through the future.
    template <class Make>
    std::future<std::invoke_result_t<Make&>> Submit(Make make) {
        using Result = std::invoke_result_t<Make&>;
        auto task = std::make_shared<std::packaged_task<Result()>>(std::move(make));
        std::future<Result> result = task->get_future();
        Queue([task] { (*task)(); });
        return result;
    }
    // Forgets the work not started yet (its futures end broken).
    void DropQueued();

private:
    void Queue(std::function<void()> job);
    void Run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;  // guarded by mutex_
    bool quitting_ = false;                    // guarded by mutex_
    std::vector<std::thread> threads_;
};

namespace thumbnail_pool_detail {

// How often a wait for a result asks whether to stop.
constexpr std::chrono::milliseconds kStopPoll{2};

template <class Result>
bool WaitReady(const std::future<Result>& result, const std::function<bool()>& stop) {
    while (result.wait_for(kStopPoll) != std::future_status::ready)
        if (stop()) return false;
    return true;
}

// However the taking ends (done, stopped or a job's exception), nothing it gave
// is left queued.
class DropQueuedOnExit {
public:
    explicit DropQueuedOnExit(ThumbnailPool& pool) : pool_(pool) {}
    ~DropQueuedOnExit() { pool_.DropQueued(); }
    DropQueuedOnExit(const DropQueuedOnExit&) = delete;
    DropQueuedOnExit& operator=(const DropQueuedOnExit&) = delete;

private:
    ThumbnailPool& pool_;
};

}  // namespace thumbnail_pool_detail

// Runs make(i) for every i below `count` on the pool, at most pool.Window() ahead
// of the result being taken, and hands each result to take(i, result) in order on
// the calling thread. `stop` is asked before every result and while waiting for
// one; once it says so the rest is abandoned. `make` runs on the pool's threads,
// possibly after this returns, so it must own whatever it uses. Returns how many
// results were taken.
template <class Result>
std::size_t TakeInOrder(ThumbnailPool& pool, std::size_t count,
                        std::function<Result(std::size_t)> make,
                        const std::function<void(std::size_t, Result&)>& take,
                        const std::function<bool()>& stop) {
    const auto shared = std::make_shared<const std::function<Result(std::size_t)>>(std::move(make));
    const thumbnail_pool_detail::DropQueuedOnExit dropRest(pool);
    std::deque<std::future<Result>> ahead;
    std::size_t given = 0;
    for (std::size_t taken = 0; taken < count; ++taken) {
        while (given < count && ahead.size() < pool.Window())
            ahead.push_back(pool.Submit([shared, i = given++] { return (*shared)(i); }));
        if (stop() || !thumbnail_pool_detail::WaitReady(ahead.front(), stop)) return taken;
        Result result = ahead.front().get();
        ahead.pop_front();
        take(taken, result);
    }
    return count;
}
