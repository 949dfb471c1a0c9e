// A desktop of the test's own for the tests that reach phones through GIO: a
// private session bus (the desktop's file-system daemon is started on it by bus
// activation) and a real FTP server on loopback that it mounts, with no path in
// the file system, as it mounts an MTP phone.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace desktop_test {

// The tools these tests need, or what is missing of them (empty when all are
// there).
std::string MissingTools();

// Starts the bus once per process and points this process (and the programs it
// runs) at it; GIO keeps the first bus it meets, so there is never a second.
// False (with the reason) when it cannot be started.
bool StartSessionBus(std::string* why);

// Runs a program with its output on `output` (when given); its exit code, or -1.
int RunProgram(const std::vector<std::string>& argv, std::string* output = nullptr);

// Calls `done` until it is true or the deadline passes.
bool WaitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds deadline = std::chrono::seconds(20));

class FtpServer {
public:
    // Serves `folder`, writable, anonymously, on a free loopback port.
    explicit FtpServer(std::string folder);
    ~FtpServer();
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

    bool Start();  // the same folder and port again after Kill
    void Kill();   // SIGKILL, as a phone pulled out
    std::string Uri() const { return "ftp://127.0.0.1:" + std::to_string(port_) + "/"; }
    // gio mount -a, waited for; and its unmount.
    bool Mount() const;
    bool Unmount() const;

private:
    std::string folder_;
    int port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace desktop_test
