// The app tests run on the headless back end's virtual clock.
#pragma once

#include <cstdint>

#include "platform/window/clock.h"
#include "platform/window/message_loop.h"

// Lets `ms` of virtual time pass, handling everything that falls due meanwhile.
inline void LetTimePass(std::uint64_t ms) {
    bool done = false;
    MessageQueue::Current()->Schedule(GetClock()->NowMs() + ms, [&done] { done = true; });
    RunLoopUntil([&done] { return done; });
}

// Drops what a test left in this thread's queue, so the next test starts empty.
inline void ClearQueue() {
    MSG drop;
    while (PeekMessage(&drop)) {
    }
    MessageQueue::Current()->CancelScheduled();
}
