// Stopping the send that runs, from any thread: the wizard asks for it when it
// closes mid-copy, and the delivery looks at it between chunks and while it
// waits between them, so a slow or stalled copy still ends at once.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class SendStop {
public:
    void Request();
    void Clear();
    bool Requested() const;
    // Waits `delay`, or less when a stop is asked meanwhile; whether one was.
    bool WaitFor(std::chrono::milliseconds delay);

private:
    mutable std::mutex mutex_;
    std::condition_variable asked_;
    bool requested_ = false;  // guarded by mutex_
};

// The component's stop: it sends one file at a time.
SendStop& CurrentSendStop();

// Asks the send that runs, if any, to stop and take back what it wrote.
void CancelSending();
