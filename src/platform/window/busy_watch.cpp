#include "busy_watch.h"

void BusyWatch::Away(const MSG& cause) {
    if (!observer_) return;
    away_ = true;
    cause_ = cause;
    since_ = std::chrono::steady_clock::now();
}

void BusyWatch::Back() {
    if (!observer_ || !away_) return;
    away_ = false;
    observer_(std::chrono::duration_cast<std::chrono::microseconds>(
                  std::chrono::steady_clock::now() - since_),
              cause_);
}
