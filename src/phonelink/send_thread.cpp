#include "send_thread.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

class SendThread {
public:
    static SendThread& Get() {
        static SendThread thread;
        return thread;
    }

    void Run(const std::function<void()>& work) {
        bool done = false;
        std::unique_lock lock(mutex_);
        jobs_.push_back([&] {
            work();
            std::lock_guard finished(mutex_);
            done = true;
            changed_.notify_all();
        });
        changed_.notify_all();
        changed_.wait(lock, [&] { return done; });
    }

private:
    SendThread() : thread_([this] { Serve(); }) {}
    ~SendThread() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    void Serve() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            const std::function<void()> job = std::move(jobs_.front());
            jobs_.pop_front();
            lock.unlock();
            job();
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::thread thread_;  // last: starts once the rest is ready
};

}  // namespace

void RunOnSendThread(const std::function<void()>& work) {
    SendThread::Get().Run(work);
}
