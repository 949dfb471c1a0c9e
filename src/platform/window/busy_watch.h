// How long a user-interface thread stays away from its queue. A spell runs from
// the moment the thread goes off to handle something (a message it took, a due
// action, a message another thread sent) until it comes back to the queue for
// more; waiting idle is no spell. A handler that runs a loop of its own comes
// back through that loop, so a modal dialog is many short spells, not one long.
// Nothing is measured until an observer is set.
#pragma once

#include <chrono>
#include <functional>

#include "win_messages.h"

class BusyWatch {
public:
    // Hears each spell's length and what started it (WM_NULL without a window for
    // a due action). Called on the queue's thread, never inside the queue's lock.
    using Observer = std::function<void(std::chrono::microseconds, const MSG& cause)>;

    // A new observer hears only of spells that start after it was set.
    void SetObserver(Observer observer) {
        observer_ = std::move(observer);
        away_ = false;
    }
    // The thread goes off to handle `cause`.
    void Away(const MSG& cause);
    // The thread is back at its queue: the spell under way, if any, ends.
    void Back();
    // The thread has waited idle: nothing since the last spell counts.
    void Rested() { away_ = false; }

private:
    Observer observer_;
    bool away_ = false;
    MSG cause_{};
    std::chrono::steady_clock::time_point since_{};
};
