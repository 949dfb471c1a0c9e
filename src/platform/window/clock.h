// The time the window system runs on. The x11 back end uses the real clock; tests
// and the headless back end use a virtual one that jumps straight to the next due
// timer instead of waiting for it, so runs are fast and repeatable.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since the clock started.
    virtual std::uint64_t NowMs() const = 0;
    // Blocks (lock held by the caller, released while waiting) until `ready` is true
    // or the clock reaches `deadline`.
    virtual void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                           std::optional<std::uint64_t> deadline,
                           const std::function<bool()>& ready) = 0;
    // Called after a queue's condition variable was notified from some thread: a
    // clock that waits on something else (a display connection) is woken here.
    virtual void Wake() {}
};

class RealClock : public Clock {
public:
    RealClock();
    std::uint64_t NowMs() const override;
    void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                   std::optional<std::uint64_t> deadline,
                   const std::function<bool()>& ready) override;

private:
    std::uint64_t startNs_;
};

class VirtualClock : public Clock {
public:
    std::uint64_t NowMs() const override;
    // Waiting for a deadline moves time to it at once; waiting without one waits
    // for `ready` in real time (another thread must deliver something).
    void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                   std::optional<std::uint64_t> deadline,
                   const std::function<bool()>& ready) override;
    void Advance(std::uint64_t ms);

private:
    mutable std::mutex mutex_;
    std::uint64_t now_ = 0;
};

// The process's clock: real until a back end or a test installs another.
std::shared_ptr<Clock> GetClock();
void SetClock(std::shared_ptr<Clock> clock);
