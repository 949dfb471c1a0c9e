// The running copy's door on a real session bus (the test runs under
// dbus-run-session): what another start asks for arrives, what any other program
// sends is checked, and without a bus nothing is offered.
#include "platform/system/bus/application_bus.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace {

int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The handlers run on the door's thread; the test reads what they saw.
struct Seen {
    std::mutex mutex;
    std::vector<std::vector<std::string>> opened;
    int activated = 0;

    ApplicationService::Handlers Handlers() {
        return {[this] {
                    std::lock_guard lock(mutex);
                    ++activated;
                },
                [this](std::vector<std::string> paths) {
                    std::lock_guard lock(mutex);
                    opened.push_back(std::move(paths));
                }};
    }
};

const std::string kName = "org.norvane.BusTest" + std::to_string(getpid());

}  // namespace

TEST(ApplicationBus, AnotherStartsFilesArriveAndOnlyLocalFilesPass) {
    ASSERT_NE(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr) << "run under dbus-run-session";
    Seen seen;
    auto door = ApplicationService::Start(kName, seen.Handlers());
    ASSERT_TRUE(door);
    EXPECT_FALSE(ApplicationService::Start(kName, {})) << "a second owner of the name";

    // The call returns once the running copy has answered, after its handler.
    EXPECT_TRUE(AskRunningCopy(kName, {"/p/My Pictures/a b.png", "/p/\xC3\xA9t\xC3\xA9.gif"}));
    EXPECT_TRUE(AskRunningCopy(kName, {}));
    // Another program's URIs: only the local file is kept.
    const std::string call = "gdbus call --session --dest " + kName + " --object-path " +
                             ApplicationObjectPath(kName) +
                             " --method org.freedesktop.Application.";
    EXPECT_EQ(Shell(call + "Open \"['http://h/x.png', 'file://other/y.png', 'file:///a%00.png', "
                           "'file:///ok%20z.png']\" '{}' > /dev/null"),
              0);
    // Arguments of the wrong kind, and actions, are turned away by the door.
    EXPECT_NE(Shell(call + "Open 42 > /dev/null 2>&1"), 0);
    EXPECT_NE(Shell(call + "ActivateAction 'x' '[]' '{}' > /dev/null 2>&1"), 0);
    {
        std::lock_guard lock(seen.mutex);
        ASSERT_EQ(seen.opened.size(), 2u);
        EXPECT_EQ(seen.opened[0],
                  (std::vector<std::string>{"/p/My Pictures/a b.png", "/p/\xC3\xA9t\xC3\xA9.gif"}));
        EXPECT_EQ(seen.opened[1], std::vector<std::string>{"/ok z.png"});
        EXPECT_EQ(seen.activated, 1);
    }
    door.reset();
    EXPECT_FALSE(AskRunningCopy(kName, {"/x.png"})) << "nobody owns the name any more";
}

TEST(ApplicationBus, WithoutASessionBusNothingIsOfferedOrAsked) {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string keptAddress = address ? address : "", keptRuntime = runtime ? runtime : "";
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    setenv("XDG_RUNTIME_DIR", std::filesystem::temp_directory_path().c_str(), 1);
    Seen seen;
    EXPECT_FALSE(ApplicationService::Start(kName, seen.Handlers()));
    EXPECT_FALSE(AskRunningCopy(kName, {"/x.png"}));
    if (!keptAddress.empty()) setenv("DBUS_SESSION_BUS_ADDRESS", keptAddress.c_str(), 1);
    if (keptRuntime.empty())
        unsetenv("XDG_RUNTIME_DIR");
    else
        setenv("XDG_RUNTIME_DIR", keptRuntime.c_str(), 1);
}
