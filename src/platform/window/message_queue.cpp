#include "message_queue.h"

#include <algorithm>

#include "clock.h"
#include "paint.h"
#include "window.h"

struct MessageQueue::PendingSend {
    MSG message;
    std::shared_ptr<MessageQueue> sender;
    LRESULT result = 0;
    bool done = false;  // guarded by the sender's mutex
};

namespace {

// Closes the thread's queue when the thread ends.
struct QueueHolder {
    std::shared_ptr<MessageQueue> queue;
    ~QueueHolder() {
        if (queue) queue->Close();
    }
};

thread_local QueueHolder t_queue;

DWORD Now() {
    return static_cast<DWORD>(GetClock()->NowMs());
}

// Wakes whatever the queue's thread waits in: its condition variable, and the
// clock when that waits on a display connection instead.
void Notify(std::condition_variable& cv) {
    cv.notify_all();
    GetClock()->Wake();
}

}  // namespace

std::shared_ptr<MessageQueue> MessageQueue::Current() {
    if (!t_queue.queue) t_queue.queue = std::make_shared<MessageQueue>();
    return t_queue.queue;
}

bool MessageQueue::Post(const MSG& message) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) return false;
        posted_.push_back(message);
        posted_.back().time = Now();
    }
    Notify(cv_);
    return true;
}

LRESULT MessageQueue::SendFromOtherThread(const MSG& message) {
    auto pending = std::make_shared<PendingSend>();
    pending->message = message;
    pending->sender = Current();
    {
        std::lock_guard lock(mutex_);
        if (closed_) return 0;
        sent_.push_back(pending);
    }
    Notify(cv_);
    pending->sender->WaitForSendResult(pending);
    return pending->result;
}

// Runs on the sender's own queue: waits for the result while carrying out what
// other threads send to this one, so two threads sending to each other never stall.
void MessageQueue::WaitForSendResult(const std::shared_ptr<PendingSend>& pending) {
    std::unique_lock lock(mutex_);
    while (!pending->done) {
        if (HandleSent(lock)) continue;
        cv_.wait(lock, [&] { return pending->done || !sent_.empty(); });
    }
}

// Carries out one message sent from another thread; the lock is released meanwhile.
bool MessageQueue::HandleSent(std::unique_lock<std::mutex>& lock) {
    if (sent_.empty()) return false;
    std::shared_ptr<PendingSend> pending = sent_.front();
    sent_.pop_front();
    busy_.Away(pending->message);
    lock.unlock();
    const LRESULT result = DeliverMessage(pending->message);
    busy_.Back();
    {
        std::lock_guard senderLock(pending->sender->mutex_);
        pending->result = result;
        pending->done = true;
    }
    pending->sender->cv_.notify_all();
    lock.lock();
    return true;
}

bool MessageQueue::RunDueAction(std::unique_lock<std::mutex>& lock) {
    const std::uint64_t now = GetClock()->NowMs();
    auto due =
        std::min_element(actions_.begin(), actions_.end(), [](const Action& a, const Action& b) {
            return a.due != b.due ? a.due < b.due : a.order < b.order;
        });
    if (due == actions_.end() || due->due > now) return false;
    std::function<void()> run = std::move(due->run);
    actions_.erase(due);
    busy_.Away(MSG{});
    lock.unlock();
    run();
    busy_.Back();
    lock.lock();
    return true;
}

bool MessageQueue::TakeDueTimer(MSG& out) {
    const std::uint64_t now = GetClock()->NowMs();
    auto due = std::min_element(timers_.begin(), timers_.end(),
                                [](const Timer& a, const Timer& b) { return a.due < b.due; });
    if (due == timers_.end() || due->due > now) return false;
    due->due = now + due->elapse;
    out = MSG{due->window, WM_TIMER, due->id, 0, static_cast<DWORD>(now)};
    return true;
}

std::optional<std::uint64_t> MessageQueue::NextDeadline() const {
    std::optional<std::uint64_t> next;
    for (const Timer& t : timers_)
        next = next ? std::min(*next, t.due) : t.due;
    for (const Action& a : actions_)
        next = next ? std::min(*next, a.due) : a.due;
    return next;
}

bool MessageQueue::HasWork() const {
    return !sent_.empty() || !posted_.empty() || quit_.has_value();
}

// Only those waiting on entry: a sender that sends again at once must not keep
// this thread here.
bool MessageQueue::HandleSentMessages() {
    std::unique_lock lock(mutex_);
    const std::size_t waiting = sent_.size();
    std::size_t handled = 0;
    while (handled < waiting && HandleSent(lock))
        ++handled;
    return handled > 0;
}

bool MessageQueue::Next(MSG& out, bool wait) {
    busy_.Back();
    std::unique_lock lock(mutex_);
    if (!TakeNext(out, lock, wait)) return false;
    busy_.Away(out);
    return true;
}

bool MessageQueue::TakeNext(MSG& out, std::unique_lock<std::mutex>& lock, bool wait) {
    for (;;) {
        if (HandleSent(lock)) continue;
        if (!posted_.empty()) {
            out = posted_.front();
            posted_.pop_front();
            return true;
        }
        if (quit_) {
            out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(*quit_), 0, Now()};
            quit_.reset();
            return true;
        }
        if (HWND dirty = NextWindowToPaint(this)) {
            out = MSG{dirty, WM_PAINT, 0, 0, Now()};
            return true;
        }
        if (RunDueAction(lock)) continue;
        if (TakeDueTimer(out)) return true;
        if (!wait) return false;
        GetClock()->WaitUntil(lock, cv_, NextDeadline(), [this] { return HasWork(); });
        busy_.Rested();
    }
}

void MessageQueue::PostQuit(int exitCode) {
    {
        std::lock_guard lock(mutex_);
        quit_ = exitCode;
    }
    Notify(cv_);
}

void MessageQueue::SetTimer(CWnd* window, UINT_PTR id, UINT elapseMs) {
    std::lock_guard lock(mutex_);
    const std::uint64_t due = GetClock()->NowMs() + elapseMs;
    for (Timer& t : timers_) {
        if (t.window == window && t.id == id) {
            t.elapse = elapseMs;
            t.due = due;
            return;
        }
    }
    timers_.push_back(Timer{window, id, elapseMs, due});
}

bool MessageQueue::KillTimer(CWnd* window, UINT_PTR id) {
    std::lock_guard lock(mutex_);
    const auto before = timers_.size();
    std::erase_if(timers_, [&](const Timer& t) { return t.window == window && t.id == id; });
    return timers_.size() != before;
}

void MessageQueue::KillTimersOf(CWnd* window) {
    std::lock_guard lock(mutex_);
    std::erase_if(timers_, [&](const Timer& t) { return t.window == window; });
}

void MessageQueue::Schedule(std::uint64_t atMs, std::function<void()> action) {
    {
        std::lock_guard lock(mutex_);
        actions_.push_back(Action{atMs, actionOrder_++, std::move(action)});
    }
    Notify(cv_);
}

void MessageQueue::CancelScheduled() {
    std::lock_guard lock(mutex_);
    actions_.clear();
}

void MessageQueue::Close() {
    std::deque<std::shared_ptr<PendingSend>> abandoned;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        abandoned.swap(sent_);
    }
    for (const auto& pending : abandoned) {
        {
            std::lock_guard senderLock(pending->sender->mutex_);
            pending->done = true;
        }
        pending->sender->cv_.notify_all();
    }
}
