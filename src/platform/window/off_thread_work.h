// Long work that must not freeze the user interface: it runs on a thread of its
// own while the calling user-interface thread goes on painting, firing timers and
// carrying out what is sent to it, and the caller returns only once it is done.
// Unless it runs taking input, no window of the caller's thread gets mouse or key
// input meanwhile, so nothing on screen can change under the caller; a press that
// a window calls its caption (WM_NCHITTEST answered HTCAPTION) still drags the
// window.
#pragma once

#include <functional>
#include <memory>

#include "window.h"

class OffThreadWork {
public:
    // Runs `work` on a new thread and returns when it has returned. A WM_QUIT met
    // meanwhile is kept for the loop outside.
    static void Run(const std::function<void(OffThreadWork&)>& work);
    // Run, with the busy cursor showing until the work is done and the cursor
    // before it back afterwards: for work the user waits on, such as opening a
    // large picture.
    static void RunShowingBusy(const std::function<void(OffThreadWork&)>& work);
    // Run, with mouse and key input going to the windows as usual: for a wait on
    // something outside the program (a phone), which the user may want to leave.
    // The windows themselves refuse what must not happen meanwhile.
    static void RunTakingInput(const std::function<void(OffThreadWork&)>& work);

    // From the work's thread: carries `action` out on the caller's thread and
    // waits for it (the caller's events, in order). From the caller's own thread
    // it just runs it.
    void CallOnCaller(const std::function<void()>& action);

    // Whether the loop of a running work drops this message rather than giving it
    // to its window.
    static bool IsBlockedInput(const MSG& message);

private:
    struct Shared;
    explicit OffThreadWork(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
    static void Start(const std::function<void(OffThreadWork&)>& work, bool takingInput);
    void WaitDispatching();

    std::shared_ptr<Shared> shared_;
};
