// Phones for tests that run inside a session bus of their own (dbus-run-session,
// which starts the desktop's gvfs daemon on demand): FTP servers on loopback,
// mounted through gvfs as the desktop mounts a phone, with no path in the file
// system. The product counts ftp mounts as phones only when told so by
// OSTREL_TEST_PHONE_SCHEMES, which these tests set.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/system/phone_places.h"

namespace ftp_phones {

// The system's own Python, which has the FTP server package (python3-pyftpdlib).
constexpr const char* kPython = "/usr/bin/python3";

inline bool Run(const std::string& command) {
    const int status = std::system((command + " > /dev/null 2>&1").c_str());
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Whether the tools are here and a session bus is reachable.
inline bool Available() {
    return std::getenv("DBUS_SESSION_BUS_ADDRESS") && Run("command -v gio") &&
           Run(std::string(kPython) + " -c 'import pyftpdlib'") && DesktopSessionPresent();
}

// Checks `done` until it holds or `seconds` of real time have passed, running
// `pump` (the test's message loop) in between.
inline bool WaitFor(const std::function<bool()>& done, const std::function<void()>& pump,
                    double seconds = 30) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// One phone: an anonymous FTP server with a writable folder of its own, mounted.
class Phone {
public:
    Phone(const std::filesystem::path& folder, int port) : port_(port) {
        std::filesystem::create_directories(folder);
        server_ = fork();
        if (server_ == 0) {
            const int quiet = open("/dev/null", O_WRONLY);  // its log is no test's output
            dup2(quiet, 1);
            dup2(quiet, 2);
            const std::string p = std::to_string(port);
            execl(kPython, kPython, "-m", "pyftpdlib", "-i", "127.0.0.1", "-p", p.c_str(), "-d",
                  folder.c_str(), "-w", static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~Phone() {
        Unplug();
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
        }
    }
    Phone(const Phone&) = delete;
    Phone& operator=(const Phone&) = delete;

    // The phone pulled out mid-way: its server gone at once, its mount left to
    // find out.
    void Kill() {
        if (server_ > 0) {
            kill(server_, SIGKILL);
            waitpid(server_, nullptr, 0);
        }
        server_ = -1;
    }

    std::string Uri() const { return "ftp://127.0.0.1:" + std::to_string(port_) + "/"; }
    // Mounts it once the server answers.
    bool Plug() {
        const auto tried = [this] { return Run("gio mount -a " + Uri()); };
        return mounted_ = WaitFor(
                   tried, [] {}, 30);
    }
    void Unplug() {
        if (mounted_) Run("gio mount -u " + Uri());
        mounted_ = false;
    }

private:
    int port_;
    pid_t server_ = -1;
    bool mounted_ = false;
};

// A loopback port taken from the test's process id, so tests running side by
// side pick different ones.
inline int FreePort(int offset) {
    return 20000 + static_cast<int>(getpid() % 20000) + offset;
}

}  // namespace ftp_phones
