// Stopping a send that is under way: the wizard closing asks it from its own
// thread while the copy runs on another. CancelSending stops the send that is
// running now, whether it goes through the desktop (GIO's cancellable) or into
// the storage folder (between two chunks), and does nothing when none is.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

typedef struct _GCancellable GCancellable;

// One send's stop, asked from any thread and seen by the copy.
class SendStop {
public:
    SendStop();
    ~SendStop();
    SendStop(const SendStop&) = delete;
    SendStop& operator=(const SendStop&) = delete;

    void Request();
    bool Requested() const;
    // Waits `span`, or less when a stop is asked meanwhile; false when it was.
    bool Wait(std::chrono::milliseconds span);
    // Cancelled together with the stop, for GIO's calls.
    GCancellable* Cancellable() const { return cancellable_; }

private:
    mutable std::mutex mutex_;
    std::condition_variable asked_;
    bool requested_ = false;
    GCancellable* cancellable_;
};

// While it lives, CancelSending stops `stop`.
class CurrentSend {
public:
    explicit CurrentSend(SendStop& stop);
    ~CurrentSend();
    CurrentSend(const CurrentSend&) = delete;
    CurrentSend& operator=(const CurrentSend&) = delete;

private:
    SendStop* previous_;
};

// Thread-safe. The send ends soon after with the partial file taken away.
void CancelSending();
