// The desktop of headless runs: every running copy lists its top-level windows in
// a shared folder ($XDG_RUNTIME_DIR/ostrel-desktop), so the single-instance and
// sibling rules work between processes. Another copy's window is found by title
// and can be minimised and restored; the request travels over a datagram socket
// to the copy that owns the window, which carries it out on its own thread.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/window/window.h"

class HeadlessDesktop {
public:
    explicit HeadlessDesktop(std::string folder = DefaultFolder());
    ~HeadlessDesktop();
    HeadlessDesktop(const HeadlessDesktop&) = delete;
    HeadlessDesktop& operator=(const HeadlessDesktop&) = delete;

    static std::string DefaultFolder();

    // Rewrites this copy's list from its top-level windows (call on every change).
    void Publish(const std::vector<CWnd*>& windows);
    // A window of another running copy with exactly this title, or null.
    CWnd* FindForeign(const std::string& title);
    // Called on the windows' thread for each request carried out ("minimise" or
    // "restore" and the window's title).
    void OnRequest(std::function<void(const std::string&, const std::string&)> report) {
        report_ = std::move(report);
    }

    // Sends a show command to window `id` of process `pid`.
    bool SendShowRequest(int pid, int id, int command) const;

private:
    void Listen();
    void Carry(int id, int command);
    void CarryHere(int id, int command);
    std::string ListPath(int pid) const;
    std::string SocketPath(int pid) const;

    std::string folder_;
    int socket_ = -1;
    std::thread listener_;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::shared_ptr<MessageQueue> ownerQueue_;
    std::map<int, CWnd*> published_;  // id -> window of this copy
    std::map<CWnd*, int> ids_;
    int nextId_ = 1;
    std::vector<std::unique_ptr<CWnd>> foreign_;  // stand-ins for other copies' windows
    std::function<void(const std::string&, const std::string&)> report_;
};
