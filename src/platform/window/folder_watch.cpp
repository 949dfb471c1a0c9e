#include "folder_watch.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace {

// A file counts once it is complete (closed after writing), not at every write.
constexpr std::uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                  IN_CLOSE_WRITE | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF |
                                  IN_ONLYDIR;

// While the window has not taken the last changes, look again this often.
constexpr int kUntakenRetryMs = 25;

}  // namespace

bool FolderWatch::Start(CWnd* window, UINT message) {
    Stop();
    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (inotify_ < 0 || wake_ < 0) {
        Stop();
        return false;
    }
    window_ = window;
    message_ = message;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void FolderWatch::Stop() {
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(wake_, &one, sizeof one);
        thread_.join();
    }
    std::lock_guard lock(mutex_);
    if (inotify_ >= 0) close(inotify_);
    if (wake_ >= 0) close(wake_);
    inotify_ = wake_ = -1;
    window_ = nullptr;
    folders_.clear();
    changed_.clear();
    told_ = false;
}

void FolderWatch::WatchFolders(const std::vector<std::string>& folders) {
    std::lock_guard lock(mutex_);
    if (inotify_ < 0) return;
    for (auto it = folders_.begin(); it != folders_.end();) {
        if (std::find(folders.begin(), folders.end(), it->second) != folders.end()) {
            ++it;
            continue;
        }
        inotify_rm_watch(inotify_, it->first);
        it = folders_.erase(it);
    }
    for (const std::string& folder : folders) {
        const bool known = std::any_of(folders_.begin(), folders_.end(),
                                       [&](const auto& entry) { return entry.second == folder; });
        if (known) continue;
        const int wd = inotify_add_watch(inotify_, folder.c_str(), kEvents);
        // The same folder under a second name keeps its first.
        if (wd >= 0) folders_.emplace(wd, folder);
    }
}

std::vector<std::string> FolderWatch::Watched() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> folders;
    for (const auto& entry : folders_)
        folders.push_back(entry.second);
    return folders;
}

std::vector<std::string> FolderWatch::TakeChanged() {
    std::lock_guard lock(mutex_);
    std::vector<std::string> changed(changed_.begin(), changed_.end());
    changed_.clear();
    told_ = false;
    return changed;
}

void FolderWatch::Run() {
    pollfd fds[2] = {{inotify_, POLLIN, 0}, {wake_, POLLIN, 0}};
    for (;;) {
        int timeout = -1;
        {
            std::lock_guard lock(mutex_);
            timeout = PollTimeoutMs(std::chrono::steady_clock::now());
        }
        if (poll(fds, 2, timeout) < 0 && errno != EINTR) return;
        if (fds[1].revents) return;
        if (fds[0].revents & POLLIN) ReadEvents();
        PostWhenDue(std::chrono::steady_clock::now());
    }
}

// Events name the folder by its watch descriptor; what happened in it does not
// matter, the window reads the folder again anyway.
void FolderWatch::ReadEvents() {
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = read(inotify_, buffer, sizeof buffer);
        if (n <= 0) return;
        std::lock_guard lock(mutex_);
        for (ssize_t at = 0; at < n;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            at += static_cast<ssize_t>(sizeof event + event.len);
            if (event.mask & IN_Q_OVERFLOW) {
                for (const auto& entry : folders_)
                    changed_.insert(entry.second);
                continue;
            }
            const auto folder = folders_.find(event.wd);
            if (folder == folders_.end()) continue;
            changed_.insert(folder->second);
            // The folder itself went away: the system has dropped its watch.
            if (event.mask & IN_IGNORED) folders_.erase(folder);
        }
    }
}

void FolderWatch::PostWhenDue(std::chrono::steady_clock::time_point now) {
    {
        std::lock_guard lock(mutex_);
        if (changed_.empty() || told_ || now - lastTold_ < kSpacing) return;
        told_ = true;
        lastTold_ = now;
    }
    if (window_->PostMessage(message_)) return;
    std::lock_guard lock(mutex_);  // the window is gone: nobody will take them
    changed_.clear();
    told_ = false;
}

int FolderWatch::PollTimeoutMs(std::chrono::steady_clock::time_point now) const {
    if (changed_.empty()) return -1;
    if (told_) return kUntakenRetryMs;
    const auto wait =
        std::chrono::duration_cast<std::chrono::milliseconds>(lastTold_ + kSpacing - now);
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, wait.count()));
}
