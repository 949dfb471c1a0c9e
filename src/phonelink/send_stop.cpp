#include "send_stop.h"

void SendStop::Request() {
    {
        std::lock_guard lock(mutex_);
        requested_ = true;
    }
    asked_.notify_all();
}

void SendStop::Clear() {
    std::lock_guard lock(mutex_);
    requested_ = false;
}

bool SendStop::Requested() const {
    std::lock_guard lock(mutex_);
    return requested_;
}

bool SendStop::WaitFor(std::chrono::milliseconds delay) {
    std::unique_lock lock(mutex_);
    return asked_.wait_for(lock, delay, [this] { return requested_; });
}

SendStop& CurrentSendStop() {
    static SendStop stop;
    return stop;
}

void CancelSending() {
    CurrentSendStop().Request();
}
