#include "send_stop.h"

#include <gio/gio.h>

namespace {

std::mutex g_currentMutex;
SendStop* g_current = nullptr;  // guarded by g_currentMutex

}  // namespace

SendStop::SendStop() : cancellable_(g_cancellable_new()) {}

SendStop::~SendStop() {
    g_object_unref(cancellable_);
}

void SendStop::Request() {
    {
        std::lock_guard lock(mutex_);
        requested_ = true;
    }
    asked_.notify_all();
    g_cancellable_cancel(cancellable_);
}

bool SendStop::Requested() const {
    std::lock_guard lock(mutex_);
    return requested_;
}

bool SendStop::Wait(std::chrono::milliseconds span) {
    std::unique_lock lock(mutex_);
    return !asked_.wait_for(lock, span, [this] { return requested_; });
}

CurrentSend::CurrentSend(SendStop& stop) {
    std::lock_guard lock(g_currentMutex);
    previous_ = g_current;
    g_current = &stop;
}

CurrentSend::~CurrentSend() {
    std::lock_guard lock(g_currentMutex);
    g_current = previous_;
}

void CancelSending() {
    std::lock_guard lock(g_currentMutex);
    if (g_current) g_current->Request();
}
