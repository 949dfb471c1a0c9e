#include "off_thread_work.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "clock.h"
#include "cursor.h"
#include "dialog.h"
#include "message_loop.h"

struct OffThreadWork::Shared {
    std::shared_ptr<MessageQueue> caller;
    std::thread::id callerThread;
    std::mutex mutex;
    std::condition_variable changed;
    bool finished = false;  // guarded by mutex
    bool takingInput = false;
};

namespace {

// A drop is the user's as a click is: while the work runs it would change what
// the caller is working on.
bool IsInput(UINT message) {
    return (message >= WM_MOUSEMOVE && message <= WM_RBUTTONUP) || message == WM_DROPFILES ||
           (message >= WM_KEYDOWN && message <= WM_CHAR);
}

// A press on what the window calls its caption starts the system's drag of its
// top-level window, as it would with input flowing.
void DragOnCaptionPress(const MSG& message) {
    if (message.message != WM_LBUTTONDOWN || !IsWindow(message.hwnd)) return;
    POINT at{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
    message.hwnd->ClientToScreen(&at);
    if (message.hwnd->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)) != HTCAPTION) return;
    CWnd* top = message.hwnd;
    while (top->GetParent())
        top = top->GetParent();
    top->SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(at.x, at.y));
}

// Virtual time stands still while the work runs: only what is due now is
// handled, so a headless run sees the same steps whatever the work's real speed.
bool TimeIsVirtual() {
    return dynamic_cast<VirtualClock*>(GetClock().get()) != nullptr;
}

}  // namespace

bool OffThreadWork::IsBlockedInput(const MSG& message) {
    return IsInput(message.message);
}

void OffThreadWork::Run(const std::function<void(OffThreadWork&)>& work) {
    Start(work, false);
}

void OffThreadWork::RunTakingInput(const std::function<void(OffThreadWork&)>& work) {
    Start(work, true);
}

void OffThreadWork::Start(const std::function<void(OffThreadWork&)>& work, bool takingInput) {
    auto shared = std::make_shared<Shared>();
    shared->takingInput = takingInput;
    shared->caller = MessageQueue::Current();
    shared->callerThread = std::this_thread::get_id();
    OffThreadWork handle(shared);
    std::exception_ptr failure;
    std::thread worker([&work, &handle, &failure, shared] {
        try {
            work(handle);
        } catch (...) {
            failure = std::current_exception();
        }
        {
            std::lock_guard lock(shared->mutex);
            shared->finished = true;
        }
        shared->changed.notify_all();
        // Wakes the caller's loop, which may be waiting for a message.
        shared->caller->Post(MSG{nullptr, WM_NULL, 0, 0, 0});
    });
    handle.WaitDispatching();
    worker.join();
    if (failure) std::rethrow_exception(failure);
}

void OffThreadWork::RunShowingBusy(const std::function<void(OffThreadWork&)>& work) {
    struct BusyCursor {
        HCURSOR before = SetCursor(LoadCursor(nullptr, IDC_WAIT));
        ~BusyCursor() { SetCursor(before); }
    } busy;
    Run(work);
}

void OffThreadWork::WaitDispatching() {
    const bool virtualTime = TimeIsVirtual();
    bool quit = false;
    int quitCode = 0;
    MSG message;
    for (;;) {
        {
            std::lock_guard lock(shared_->mutex);
            if (shared_->finished) break;
        }
        if (virtualTime) {
            if (!PeekMessage(&message)) {
                std::unique_lock lock(shared_->mutex);
                shared_->changed.wait_for(lock, std::chrono::milliseconds(1));
                continue;
            }
        } else {
            MessageQueue::Current()->Next(message, true);
        }
        if (message.message == WM_QUIT) {
            quit = true;
            quitCode = static_cast<int>(message.wParam);
            continue;
        }
        if (!shared_->takingInput && IsBlockedInput(message)) {
            DragOnCaptionPress(message);
            continue;
        }
        if (!PreTranslateMessage(message)) DispatchMessage(&message);
    }
    if (quit) PostQuitMessage(quitCode);
}

void OffThreadWork::CallOnCaller(const std::function<void()>& action) {
    if (std::this_thread::get_id() == shared_->callerThread) {
        action();
        return;
    }
    auto done = std::make_shared<bool>(false);
    auto shared = shared_;
    shared_->caller->Schedule(0, [&action, done, shared] {
        action();
        {
            std::lock_guard lock(shared->mutex);
            *done = true;
        }
        shared->changed.notify_all();
    });
    std::unique_lock lock(shared_->mutex);
    shared_->changed.wait(lock, [&] { return *done; });
}
