#include "fltk_clock.h"

#include <FL/Fl.H>

FltkClock::FltkClock() : uiThread_(std::this_thread::get_id()) {}

void FltkClock::WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                          std::optional<std::uint64_t> deadline,
                          const std::function<bool()>& ready) {
    if (std::this_thread::get_id() != uiThread_) {
        RealClock::WaitUntil(lock, cv, deadline, ready);
        return;
    }
    if (ready()) return;
    const std::uint64_t now = NowMs();
    if (deadline && *deadline <= now) return;
    lock.unlock();
    // Fl::wait returns after handling events, after an awake, or when the time is up;
    // the caller looks again either way.
    if (deadline)
        Fl::wait(static_cast<double>(*deadline - now) / 1000.0);
    else
        Fl::wait(1e20);
    // Cleared before the caller looks at its queue again, so a wake-up that comes
    // after this point writes to the loop anew.
    wakePending_.store(false);
    lock.lock();
}

void FltkClock::Wake() {
    if (std::this_thread::get_id() == uiThread_) return;  // it looks before it waits
    if (!wakePending_.exchange(true)) Fl::awake(static_cast<void*>(nullptr));
}
