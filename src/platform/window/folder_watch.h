// Notices changes to the entries of a few folders (inotify) and tells a window of
// them with one posted message, so the window reads the folders again on its own
// thread. Bursts are gathered: the message comes at most once per 250 ms, and not
// again before the window has taken the changes of the one before.
#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "window.h"

class FolderWatch {
public:
    static constexpr std::chrono::milliseconds kSpacing{250};

    FolderWatch() = default;
    ~FolderWatch() { Stop(); }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // From now on `message` is posted to `window` when a watched folder changed.
    // False when the system gives no watcher (then nothing is ever told).
    bool Start(CWnd* window, UINT message);
    // No message is posted after this returns.
    void Stop();

    // The folders watched from now on (normal paths), replacing the earlier ones.
    // A folder that cannot be watched is left out.
    void WatchFolders(const std::vector<std::string>& folders);
    std::vector<std::string> Watched() const;

    // On the window's thread, after the message: the watched folders whose entries
    // were added, removed, renamed or rewritten, or that went away themselves,
    // since the last call. When the system lost events, every watched folder.
    std::vector<std::string> TakeChanged();

private:
    void Run();
    void ReadEvents();
    void PostWhenDue(std::chrono::steady_clock::time_point now);
    int PollTimeoutMs(std::chrono::steady_clock::time_point now) const;

    mutable std::mutex mutex_;
    int inotify_ = -1;
    int wake_ = -1;  // an eventfd: written to stop the thread
    CWnd* window_ = nullptr;
    UINT message_ = 0;
    std::map<int, std::string> folders_;  // by watch descriptor
    std::set<std::string> changed_;
    bool told_ = false;  // a message is out that the window has not answered yet
    std::chrono::steady_clock::time_point lastTold_{};
    std::thread thread_;
};
