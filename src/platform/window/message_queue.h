// The message queue of one user-interface thread: posted messages, messages sent
// from other threads (carried out here while their sender waits), timers, and
// scheduled actions (script steps, back-end events). A thread gets its queue the
// first time it asks for it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "busy_watch.h"
#include "win_messages.h"

class CWnd;

class MessageQueue : public std::enable_shared_from_this<MessageQueue> {
public:
    // The calling thread's queue.
    static std::shared_ptr<MessageQueue> Current();

    bool Post(const MSG& message);
    // Carries the message out on this queue's thread and waits for its result; the
    // waiting thread goes on carrying out messages sent to it meanwhile.
    LRESULT SendFromOtherThread(const MSG& message);

    // Takes the next message to dispatch. Sent messages and due actions are carried
    // out inside. Without `wait`, false when nothing is there; with it, blocks.
    // WM_QUIT is returned like any message.
    bool Next(MSG& out, bool wait);
    void PostQuit(int exitCode);

    void SetTimer(CWnd* window, UINT_PTR id, UINT elapseMs);
    bool KillTimer(CWnd* window, UINT_PTR id);
    void KillTimersOf(CWnd* window);
    // Runs `action` on this thread once the clock reaches `atMs`.
    void Schedule(std::uint64_t atMs, std::function<void()> action);
    // Drops every scheduled action that has not run yet.
    void CancelScheduled();

    // Carries out the messages other threads have sent so far, nothing else; for a
    // thread that waits for a sender to finish. True when there were any.
    bool HandleSentMessages();

    // Ends the queue when its thread ends: senders still waiting get 0.
    void Close();

    // From this queue's thread: `observer` hears how long each spell away from the
    // queue took (see BusyWatch); none stops the watch.
    void WatchBusySpells(BusyWatch::Observer observer) { busy_.SetObserver(std::move(observer)); }

private:
    struct PendingSend;
    struct Timer {
        CWnd* window;
        UINT_PTR id;
        UINT elapse;
        std::uint64_t due;
    };
    struct Action {
        std::uint64_t due;
        std::uint64_t order;
        std::function<void()> run;
    };

    bool TakeNext(MSG& out, std::unique_lock<std::mutex>& lock, bool wait);
    bool HandleSent(std::unique_lock<std::mutex>& lock);
    bool RunDueAction(std::unique_lock<std::mutex>& lock);
    bool TakeDueTimer(MSG& out);
    std::optional<std::uint64_t> NextDeadline() const;
    bool HasWork() const;
    void WaitForSendResult(const std::shared_ptr<PendingSend>& pending);

    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<MSG> posted_;
    std::deque<std::shared_ptr<PendingSend>> sent_;
    std::vector<Timer> timers_;
    std::vector<Action> actions_;
    std::uint64_t actionOrder_ = 0;
    std::optional<int> quit_;
    bool closed_ = false;
    BusyWatch busy_;  // only ever touched by the queue's own thread
};
