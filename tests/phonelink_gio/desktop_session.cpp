#include "desktop_session.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>

extern char** environ;

namespace desktop_test {

namespace {

// The Debian interpreter: the FTP server is its package, not another Python's.
constexpr const char* kPython = "/usr/bin/python3";

pid_t Spawn(const std::vector<std::string>& argv, int outputFd) {
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (outputFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int FreePort() {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    close(s);
    return port;
}

bool Answers(int port) {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(s);
    return ok;
}

pid_t g_busPid = -1;

std::string g_cacheFolder;

void StopBus() {
    if (g_busPid > 0) {
        kill(g_busPid, SIGTERM);
        waitpid(g_busPid, nullptr, 0);
    }
    std::error_code ignored;
    if (!g_cacheFolder.empty()) std::filesystem::remove_all(g_cacheFolder, ignored);
}

// The desktop's daemons keep their caches (and ask a keyring that keeps one) in
// the user's cache folder; the tests run with one that cannot be made, where each
// mount would wait out the bus's 25-second call timeout. They get one of their own.
bool UseOwnCacheFolder() {
    char pattern[] = "/tmp/ostrel-desktop-XXXXXX";
    if (!mkdtemp(pattern)) return false;
    g_cacheFolder = pattern;
    setenv("XDG_CACHE_HOME", pattern, 1);
    return true;
}

}  // namespace

std::string MissingTools() {
    namespace fs = std::filesystem;
    std::string missing;
    for (const char* tool : {"/usr/bin/dbus-daemon", "/usr/libexec/gvfsd", "/usr/libexec/gvfsd-ftp",
                             "/usr/bin/gio", kPython})
        if (!fs::exists(tool)) missing += std::string(missing.empty() ? "" : ", ") + tool;
    if (fs::exists(kPython) && RunProgram({kPython, "-c", "import pyftpdlib"}) != 0)
        missing += std::string(missing.empty() ? "" : ", ") + "pyftpdlib";
    return missing;
}

int RunProgram(const std::vector<std::string>& argv, std::string* output) {
    int fds[2] = {-1, -1};
    if (output && pipe2(fds, O_CLOEXEC) != 0) return -1;
    const pid_t pid = Spawn(argv, output ? fds[1] : -1);
    if (output) {
        close(fds[1]);
        char buffer[4096];
        for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
            output->append(buffer, static_cast<std::size_t>(n));
        close(fds[0]);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool StartSessionBus(std::string* why) {
    static std::once_flag once;
    static std::string failure;
    std::call_once(once, [] {
        int fds[2];
        if (!UseOwnCacheFolder() || pipe2(fds, O_CLOEXEC) != 0) {
            failure = "no cache folder or pipe";
            return;
        }
        std::atexit(StopBus);
        g_busPid = Spawn({"dbus-daemon", "--session", "--nofork", "--print-address=1"}, fds[1]);
        close(fds[1]);
        std::string address;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            address += c;
        close(fds[0]);
        if (g_busPid < 0 || address.empty()) {
            failure = "dbus-daemon did not start";
            return;
        }
        setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    });
    if (why) *why = failure;
    return failure.empty();
}

FtpServer::FtpServer(std::string folder) : folder_(std::move(folder)), port_(FreePort()) {}

FtpServer::~FtpServer() {
    if (pid_ > 0) Unmount();
    Kill();
}

bool FtpServer::Start() {
    if (port_ == 0) return false;
    pid_ = Spawn({kPython, "-m", "pyftpdlib", "-i", "127.0.0.1", "-p", std::to_string(port_), "-w",
                  "-d", folder_},
                 -1);
    return pid_ > 0 && WaitUntil([&] { return Answers(port_); });
}

void FtpServer::Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

bool FtpServer::Mount() const {
    return RunProgram({"gio", "mount", "-a", Uri()}) == 0 && WaitUntil([&] {
               return RunProgram({"gio", "info", Uri()}) == 0;
           });
}

bool FtpServer::Unmount() const {
    return RunProgram({"gio", "mount", "-u", Uri()}) == 0;
}

}  // namespace desktop_test
