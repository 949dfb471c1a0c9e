// Kernel events: one thread waits until another signals. An auto-reset event lets
// exactly one wait through per signal and then resets itself (the thumbnail worker
// is woken this way); a manual-reset event stays signalled until reset.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

class Event {
public:
    explicit Event(bool autoReset, bool initiallySignalled = false)
        : autoReset_(autoReset), signalled_(initiallySignalled) {}

    void Set();
    void Reset();
    // True when signalled within the timeout (none: wait for ever).
    bool Wait(std::optional<std::chrono::milliseconds> timeout = std::nullopt);

private:
    const bool autoReset_;
    bool signalled_;
    std::mutex mutex_;
    std::condition_variable cv_;
};
