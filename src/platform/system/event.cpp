#include "event.h"

void Event::Set() {
    {
        std::lock_guard lock(mutex_);
        signalled_ = true;
    }
    if (autoReset_)
        cv_.notify_one();
    else
        cv_.notify_all();
}

void Event::Reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

bool Event::Wait(std::optional<std::chrono::milliseconds> timeout) {
    std::unique_lock lock(mutex_);
    const auto ready = [this] { return signalled_; };
    if (!timeout)
        cv_.wait(lock, ready);
    else if (!cv_.wait_for(lock, *timeout, ready))
        return false;
    if (autoReset_) signalled_ = false;
    return true;
}
