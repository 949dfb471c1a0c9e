#include "thumbnail_pool.h"

#include <algorithm>

int ThumbnailPool::DefaultSize() {
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(cores, 1U, 8U));
}

ThumbnailPool::ThumbnailPool(int threads) {
    const int count = std::max(threads, 1);
    threads_.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        threads_.emplace_back([this] { Run(); });
}

ThumbnailPool::~ThumbnailPool() {
    DropQueued();
    {
        std::lock_guard lock(mutex_);
        quitting_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void ThumbnailPool::DropQueued() {
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard lock(mutex_);
        dropped.swap(queue_);
    }
    // The dropped tasks end their futures outside the lock.
}

void ThumbnailPool::Queue(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void ThumbnailPool::Run() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return quitting_ || !queue_.empty(); });
            if (quitting_) return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        job();
    }
}
