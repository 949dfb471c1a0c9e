// Real time, waited for in the toolkit's event loop: the user-interface thread
// waits in Fl::wait (so the display's events are handled meanwhile) until the next
// timer is due or another thread hands it work, which wakes it with Fl::awake.
// Other threads wait on their condition variables as with the plain real clock.
#pragma once

#include <atomic>
#include <thread>

#include "platform/window/clock.h"

class FltkClock : public RealClock {
public:
    // The calling thread is the user-interface thread.
    FltkClock();
    void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                   std::optional<std::uint64_t> deadline,
                   const std::function<bool()>& ready) override;
    void Wake() override;

private:
    std::thread::id uiThread_;
    // A wake-up is on its way to the loop; later ones add nothing until it is taken.
    std::atomic<bool> wakePending_{false};
};
