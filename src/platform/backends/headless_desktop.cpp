#include "headless_desktop.h"

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/system/user_folders.h"

namespace fs = std::filesystem;

namespace {

// Another copy's window: its title as found, and show requests sent to its owner.
class ForeignWindow : public CWnd {
public:
    ForeignWindow(const HeadlessDesktop& desktop, int pid, int id, const std::string& title)
        : desktop_(desktop), pid_(pid), id_(id) {
        SetWindowText(title);  // never created here: it is no window of this process
    }
    bool ShowWindow(int command) override {
        desktop_.SendShowRequest(pid_, id_, command);
        return true;
    }

private:
    const HeadlessDesktop& desktop_;
    int pid_;
    int id_;
};

sockaddr_un Address(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    return address;
}

bool Running(int pid) {
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

}  // namespace

std::string HeadlessDesktop::DefaultFolder() {
    return RuntimeFolder() + "/ostrel-desktop";
}

HeadlessDesktop::HeadlessDesktop(std::string folder) : folder_(std::move(folder)) {
    std::error_code error;
    fs::create_directories(folder_, error);
    socket_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = Address(SocketPath(::getpid()));
    ::unlink(address.sun_path);
    if (socket_ >= 0 &&
        ::bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        listener_ = std::thread([this] { Listen(); });
}

HeadlessDesktop::~HeadlessDesktop() {
    stopping_ = true;
    if (listener_.joinable()) {
        ::shutdown(socket_, SHUT_RDWR);
        SendShowRequest(::getpid(), 0, 0);  // wakes the listener
        listener_.join();
    }
    if (socket_ >= 0) ::close(socket_);
    ::unlink(SocketPath(::getpid()).c_str());
    ::unlink(ListPath(::getpid()).c_str());
}

std::string HeadlessDesktop::ListPath(int pid) const {
    return folder_ + "/" + std::to_string(pid) + ".windows";
}
std::string HeadlessDesktop::SocketPath(int pid) const {
    return folder_ + "/" + std::to_string(pid) + ".sock";
}

void HeadlessDesktop::Publish(const std::vector<CWnd*>& windows) {
    std::ostringstream list;
    {
        std::lock_guard lock(mutex_);
        ownerQueue_ = MessageQueue::Current();
        published_.clear();
        for (CWnd* window : windows) {
            if (!IsWindow(window) || window->Text().empty()) continue;
            auto [it, added] = ids_.emplace(window, nextId_);
            if (added) ++nextId_;
            published_[it->second] = window;
            list << it->second << ' ' << (window->IsIconic() ? "minimised" : "normal") << ' '
                 << window->Text() << '\n';
        }
    }
    const std::string path = ListPath(::getpid());
    const std::string temp = path + ".tmp";
    std::ofstream(temp) << list.str();
    std::rename(temp.c_str(), path.c_str());
}

CWnd* HeadlessDesktop::FindForeign(const std::string& title) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder_, error)) {
        if (entry.path().extension() != ".windows") continue;
        const int pid = std::atoi(entry.path().stem().c_str());
        if (pid == ::getpid() || !Running(pid)) continue;
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            std::istringstream fields(line);
            int id = 0;
            std::string state, name;
            fields >> id >> state;
            std::getline(fields >> std::ws, name);
            if (name != title) continue;
            foreign_.push_back(std::make_unique<ForeignWindow>(*this, pid, id, name));
            return foreign_.back().get();
        }
    }
    return nullptr;
}

bool HeadlessDesktop::SendShowRequest(int pid, int id, int command) const {
    const int out = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (out < 0) return false;
    const std::string request = std::to_string(id) + ' ' + std::to_string(command);
    const sockaddr_un address = Address(SocketPath(pid));
    const bool sent = ::sendto(out, request.data(), request.size(), 0,
                               reinterpret_cast<const sockaddr*>(&address),
                               sizeof address) == static_cast<ssize_t>(request.size());
    ::close(out);
    return sent;
}

void HeadlessDesktop::Listen() {
    char buffer[64];
    while (!stopping_) {
        const ssize_t n = ::recv(socket_, buffer, sizeof buffer - 1, 0);
        if (n <= 0 || stopping_) continue;
        buffer[n] = '\0';
        int id = 0, command = 0;
        if (std::sscanf(buffer, "%d %d", &id, &command) == 2) Carry(id, command);
    }
}

// On the listener thread: hands the request to the thread that owns the windows.
void HeadlessDesktop::Carry(int id, int command) {
    std::shared_ptr<MessageQueue> queue;
    {
        std::lock_guard lock(mutex_);
        queue = ownerQueue_;
    }
    if (queue) queue->Schedule(0, [this, id, command] { CarryHere(id, command); });
}

void HeadlessDesktop::CarryHere(int id, int command) {
    CWnd* window = nullptr;
    {
        std::lock_guard lock(mutex_);
        const auto it = published_.find(id);
        if (it != published_.end()) window = it->second;
    }
    if (!IsWindow(window)) return;
    const bool minimise = command == SW_MINIMIZE || command == SW_SHOWMINIMIZED;
    window->SendMessage(WM_SYSCOMMAND, minimise ? SC_MINIMIZE : SC_RESTORE, 0);
    if (report_) report_(minimise ? "minimise" : "restore", window->Text());
}
