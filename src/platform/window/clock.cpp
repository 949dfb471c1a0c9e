#include "clock.h"

#include <chrono>

namespace {

std::uint64_t SteadyNs() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

std::mutex g_clockMutex;
std::shared_ptr<Clock> g_clock;

}  // namespace

RealClock::RealClock() : startNs_(SteadyNs()) {}

std::uint64_t RealClock::NowMs() const {
    return (SteadyNs() - startNs_) / 1000000;
}

void RealClock::WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                          std::optional<std::uint64_t> deadline,
                          const std::function<bool()>& ready) {
    if (!deadline) {
        cv.wait(lock, ready);
        return;
    }
    const std::uint64_t now = NowMs();
    if (*deadline <= now) return;
    cv.wait_for(lock, std::chrono::milliseconds(*deadline - now), ready);
}

std::uint64_t VirtualClock::NowMs() const {
    std::lock_guard guard(mutex_);
    return now_;
}

void VirtualClock::WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                             std::optional<std::uint64_t> deadline,
                             const std::function<bool()>& ready) {
    if (ready()) return;
    if (!deadline) {
        cv.wait(lock, ready);
        return;
    }
    std::lock_guard guard(mutex_);
    if (*deadline > now_) now_ = *deadline;
}

void VirtualClock::Advance(std::uint64_t ms) {
    std::lock_guard guard(mutex_);
    now_ += ms;
}

std::shared_ptr<Clock> GetClock() {
    std::lock_guard guard(g_clockMutex);
    if (!g_clock) g_clock = std::make_shared<RealClock>();
    return g_clock;
}

void SetClock(std::shared_ptr<Clock> clock) {
    std::lock_guard guard(g_clockMutex);
    g_clock = std::move(clock);
}
